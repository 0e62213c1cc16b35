#include "components/IniSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <algorithm>

#include "app/core/ScanPass.h"
#include "components/QtText.h"

namespace tarvix {

namespace {

constexpr const char* kBuddyAlertsKey = "BuddyAlerts/enabled";
constexpr const char* kParallelScanKey = "Scan/parallel";
constexpr const char* kScanRetriesKey = "Scan/retries";
constexpr const char* kMastersKey = "discovery/masters";
constexpr const char* kGamesKey = "discovery/games";
constexpr const char* kRefreshAtStartKey = "discovery/refreshAtStart";
constexpr const char* kLanAddressKey = "discovery/lanAddress";
constexpr const char* kLanFirstPortKey = "discovery/lanFirstPort";
constexpr const char* kLanLastPortKey = "discovery/lanLastPort";
constexpr const char* kFetchedListsKey = "discovery/fetchedLists";
// Under it, one key per fetched list: the list name's bytes in hex, which
// any name may have.
constexpr const char* kFetchedDigestsGroup = "discovery/fetchedDigests/";

// Empty entries dropped: an empty list is stored as one empty string.
std::vector<std::string> toStrings(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list)
    if (!s.isEmpty()) out.push_back(s.toStdString());
  return out;
}

QStringList toStringList(const std::vector<std::string>& list) {
  QStringList out;
  for (const std::string& s : list) out << QString::fromStdString(s);
  return out;
}
constexpr const char* kFileDialogFolderKey = "FileDialogs/folder";
constexpr const char* kFilterBarKey = "Browser/filterBar";
constexpr const char* kHideEmptyKey = "Browser/hideEmpty";
constexpr const char* kHideFullKey = "Browser/hideFull";
constexpr const char* kHideNoResponseKey = "Browser/hideNoResponse";
constexpr const char* kFilterTextKey = "Browser/filterText";
constexpr const char* kColourCodesKey = "Browser/colourCodes";
constexpr const char* kPingColumnKey = "Browser/pingColumn";
constexpr const char* kNumericPlayerSortKey = "Browser/numericPlayerSort";
constexpr const char* kHistoryRecordingKey = "History/record";
constexpr const char* kLastKnownResultsKey = "History/lastKnownResults";
constexpr const char* kCountryColumnKey = "Browser/countryColumn";
constexpr const char* kWatchesKey = "Watches/watches";
constexpr const char* kJoinMinutesKey = "Watches/joinMinutes";

// QSettings reads "/" and "\" in keys as group separators: a list path is
// stored percent-encoded.
QString lastScanKey(std::string_view listPath) {
  const QByteArray bytes(listPath.data(), static_cast<qsizetype>(listPath.size()));
  return "LastScan/" + QString::fromLatin1(bytes.toPercentEncoding());
}

}  // namespace

IniSettings::IniSettings(QString path) : path_(std::move(path)) {}

bool IniSettings::buddyAlerts() const {
  return QSettings(path_, QSettings::IniFormat).value(kBuddyAlertsKey, false).toBool();
}

void IniSettings::setBuddyAlerts(bool on) {
  QSettings(path_, QSettings::IniFormat).setValue(kBuddyAlertsKey, on);
}

std::vector<std::string> IniSettings::watchLines() const {
  std::vector<std::string> lines;
  for (const QString& line :
       QSettings(path_, QSettings::IniFormat).value(kWatchesKey).toStringList())
    if (!line.isEmpty()) lines.push_back(toBytes(line));
  return lines;
}

void IniSettings::setWatchLines(const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines) list << toQString(line);
  // An empty list is stored as one empty string, read back as none.
  QSettings(path_, QSettings::IniFormat)
      .setValue(kWatchesKey, list.isEmpty() ? QStringList{""} : list);
}

int IniSettings::joinWaitMinutes() const {
  const int minutes = QSettings(path_, QSettings::IniFormat).value(kJoinMinutesKey, 10).toInt();
  return minutes > 0 ? minutes : 10;
}

void IniSettings::setJoinWaitMinutes(int minutes) {
  QSettings(path_, QSettings::IniFormat).setValue(kJoinMinutesKey, minutes);
}

bool IniSettings::countryColumn() const { return flag(kCountryColumnKey); }

void IniSettings::setCountryColumn(bool on) { setFlag(kCountryColumnKey, on); }

QByteArray IniSettings::windowGeometry(const QString& window) const {
  return QSettings(path_, QSettings::IniFormat).value("windows/" + window).toByteArray();
}

void IniSettings::setWindowGeometry(const QString& window, const QByteArray& geometry) {
  QSettings(path_, QSettings::IniFormat).setValue("windows/" + window, geometry);
}

bool IniSettings::parallelScan() const {
  return QSettings(path_, QSettings::IniFormat).value(kParallelScanKey, false).toBool();
}

void IniSettings::setParallelScan(bool on) {
  QSettings(path_, QSettings::IniFormat).setValue(kParallelScanKey, on);
}

int IniSettings::scanRetries() const {
  const int retries = QSettings(path_, QSettings::IniFormat).value(kScanRetriesKey, 0).toInt();
  return std::clamp(retries, 0, kMaxScanRetries);
}

void IniSettings::setScanRetries(int retries) {
  QSettings(path_, QSettings::IniFormat)
      .setValue(kScanRetriesKey, std::clamp(retries, 0, kMaxScanRetries));
}

QString IniSettings::fileDialogFolder() const {
  return QSettings(path_, QSettings::IniFormat).value(kFileDialogFolderKey).toString();
}

void IniSettings::setFileDialogFolder(const QString& folder) {
  QSettings(path_, QSettings::IniFormat).setValue(kFileDialogFolderKey, folder);
}

bool IniSettings::flag(const char* key) const {
  return QSettings(path_, QSettings::IniFormat).value(key, false).toBool();
}

void IniSettings::setFlag(const char* key, bool on) {
  QSettings(path_, QSettings::IniFormat).setValue(key, on);
}

bool IniSettings::historyRecording() const {
  return QSettings(path_, QSettings::IniFormat).value(kHistoryRecordingKey, true).toBool();
}
void IniSettings::setHistoryRecording(bool on) { setFlag(kHistoryRecordingKey, on); }
bool IniSettings::lastKnownResults() const { return flag(kLastKnownResultsKey); }
void IniSettings::setLastKnownResults(bool on) { setFlag(kLastKnownResultsKey, on); }

bool IniSettings::filterBar() const { return flag(kFilterBarKey); }
void IniSettings::setFilterBar(bool on) { setFlag(kFilterBarKey, on); }
bool IniSettings::colourCodes() const { return flag(kColourCodesKey); }
void IniSettings::setColourCodes(bool on) { setFlag(kColourCodesKey, on); }
bool IniSettings::pingColumn() const { return flag(kPingColumnKey); }
void IniSettings::setPingColumn(bool on) { setFlag(kPingColumnKey, on); }
bool IniSettings::numericPlayerSort() const { return flag(kNumericPlayerSortKey); }
void IniSettings::setNumericPlayerSort(bool on) { setFlag(kNumericPlayerSortKey, on); }

ServerFilter IniSettings::serverFilter() const {
  ServerFilter filter;
  filter.hideEmpty = flag(kHideEmptyKey);
  filter.hideFull = flag(kHideFullKey);
  filter.hideNoResponse = flag(kHideNoResponseKey);
  // The text is code-page bytes, like the row texts it is matched against.
  filter.text = toBytes(QSettings(path_, QSettings::IniFormat).value(kFilterTextKey).toString());
  return filter;
}

void IniSettings::setServerFilter(const ServerFilter& filter) {
  setFlag(kHideEmptyKey, filter.hideEmpty);
  setFlag(kHideFullKey, filter.hideFull);
  setFlag(kHideNoResponseKey, filter.hideNoResponse);
  QSettings(path_, QSettings::IniFormat).setValue(kFilterTextKey, toQString(filter.text));
}

std::vector<HeadlessBuddy> IniSettings::lastScanHits(std::string_view listPath) const {
  const QString stored =
      QSettings(path_, QSettings::IniFormat).value(lastScanKey(listPath)).toString();
  std::vector<HeadlessBuddy> hits;
  for (const QJsonValue& pair : QJsonDocument::fromJson(stored.toUtf8()).array()) {
    const QJsonArray a = pair.toArray();
    hits.push_back({toBytes(a.at(0).toString()), toBytes(a.at(1).toString())});
  }
  return hits;
}

void IniSettings::setLastScanHits(std::string_view listPath,
                                  const std::vector<HeadlessBuddy>& hits) {
  QJsonArray pairs;
  for (const HeadlessBuddy& b : hits)
    pairs.append(QJsonArray{toQString(b.caption), toQString(b.server)});
  QSettings(path_, QSettings::IniFormat)
      .setValue(lastScanKey(listPath),
                QString::fromUtf8(QJsonDocument(pairs).toJson(QJsonDocument::Compact)));
}

std::vector<std::string> IniSettings::masterServers() const {
  const QSettings ini(path_, QSettings::IniFormat);
  if (ini.contains(kMastersKey)) return toStrings(ini.value(kMastersKey).toStringList());
  std::vector<std::string> masters;
  for (const MasterAddress& m : defaultMasters())
    masters.push_back(m.host + ":" + std::to_string(m.port));
  return masters;
}

void IniSettings::setMasterServers(const std::vector<std::string>& masters) {
  // An empty QStringList is stored as an invalid value, read back as missing;
  // an empty string keeps "no masters" apart from "never set".
  QSettings(path_, QSettings::IniFormat)
      .setValue(kMastersKey, masters.empty() ? QVariant(QString()) : toStringList(masters));
}

std::vector<MasterAddress> IniSettings::masterAddresses() const {
  std::vector<MasterAddress> out;
  for (const std::string& line : masterServers()) {
    MasterAddress m;
    if (parseMasterAddress(line, m)) out.push_back(m);
  }
  return out;
}

std::vector<std::string> IniSettings::discoveryGames() const {
  const QSettings ini(path_, QSettings::IniFormat);
  if (!ini.contains(kGamesKey)) return {"mohaa", "mohaas"};
  return toStrings(ini.value(kGamesKey).toStringList());
}

void IniSettings::setDiscoveryGames(const std::vector<std::string>& games) {
  QSettings(path_, QSettings::IniFormat)
      .setValue(kGamesKey, games.empty() ? QVariant(QString()) : toStringList(games));
}

bool IniSettings::refreshAtStart() const {
  return QSettings(path_, QSettings::IniFormat).value(kRefreshAtStartKey, false).toBool();
}

void IniSettings::setRefreshAtStart(bool on) {
  QSettings(path_, QSettings::IniFormat).setValue(kRefreshAtStartKey, on);
}

std::string IniSettings::lanAddress() const {
  return QSettings(path_, QSettings::IniFormat)
      .value(kLanAddressKey, "255.255.255.255")
      .toString()
      .toStdString();
}

std::pair<int, int> IniSettings::lanPorts() const {
  const QSettings ini(path_, QSettings::IniFormat);
  const DiscoveryRequest defaults;
  return {ini.value(kLanFirstPortKey, defaults.lanFirstPort).toInt(),
          ini.value(kLanLastPortKey, defaults.lanLastPort).toInt()};
}

std::vector<std::string> IniSettings::fetchedLists() const {
  // List names are code-page bytes, like the file names they stand for.
  std::vector<std::string> names;
  for (const QString& name :
       QSettings(path_, QSettings::IniFormat).value(kFetchedListsKey).toStringList())
    names.push_back(toBytes(name));
  return names;
}

bool IniSettings::isFetchedList(std::string_view listName) const {
  for (const std::string& name : fetchedLists())
    if (name == listName) return true;
  return false;
}

void IniSettings::addFetchedList(std::string_view listName) {
  if (isFetchedList(listName)) return;
  QStringList names = QSettings(path_, QSettings::IniFormat).value(kFetchedListsKey).toStringList();
  names << toQString(listName);
  QSettings(path_, QSettings::IniFormat).setValue(kFetchedListsKey, names);
}

namespace {
QString fetchedDigestKey(std::string_view listName) {
  return kFetchedDigestsGroup +
         QString::fromLatin1(
             QByteArray(listName.data(), static_cast<qsizetype>(listName.size())).toHex());
}
}  // namespace

QByteArray IniSettings::fetchedListDigest(std::string_view listName) const {
  return QSettings(path_, QSettings::IniFormat).value(fetchedDigestKey(listName)).toByteArray();
}

void IniSettings::setFetchedListDigest(std::string_view listName, const QByteArray& digest) {
  QSettings(path_, QSettings::IniFormat).setValue(fetchedDigestKey(listName), digest);
}

void IniSettings::forgetFetchedList(std::string_view listName) {
  QSettings ini(path_, QSettings::IniFormat);
  ini.remove(fetchedDigestKey(listName));
  QStringList names = ini.value(kFetchedListsKey).toStringList();
  if (names.removeAll(toQString(listName)) > 0) ini.setValue(kFetchedListsKey, names);
}

}  // namespace tarvix
