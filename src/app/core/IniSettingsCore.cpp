#include "app/core/IniSettingsCore.h"

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/core/ScanPass.h"
#include "base/CodePage.h"
#include "base/Utf8.h"
#include "store/DataFile.h"

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
constexpr const char* kFilterBarKey = "Browser/filterBar";
constexpr const char* kHideEmptyKey = "Browser/hideEmpty";
constexpr const char* kHideFullKey = "Browser/hideFull";
constexpr const char* kHideNoResponseKey = "Browser/hideNoResponse";
constexpr const char* kFilterTextKey = "Browser/filterText";
constexpr const char* kFilterCountryKey = "Browser/filterCountry";
constexpr const char* kColourCodesKey = "Browser/colourCodes";
constexpr const char* kPingColumnKey = "Browser/pingColumn";
constexpr const char* kNumericPlayerSortKey = "Browser/numericPlayerSort";
constexpr const char* kHistoryRecordingKey = "History/record";
constexpr const char* kLastKnownResultsKey = "History/lastKnownResults";
constexpr const char* kCountryColumnKey = "Browser/countryColumn";
constexpr const char* kWatchesKey = "Watches/watches";
constexpr const char* kJoinMinutesKey = "Watches/joinMinutes";

// Stored text is UTF-8; the data's bytes are the code page, a character it
// cannot hold read as "?".
std::string codePageBytes(std::string_view utf8) {
  std::string out;
  for (char32_t c : decodeUtf8(utf8).value_or(std::u32string{}))
    out.push_back(static_cast<char>(unicodeToCodePage(c).value_or('?')));
  return out;
}

// "/" and "\" in keys are group separators: a list path is stored
// percent-encoded, as QByteArray::toPercentEncoding writes it.
std::string lastScanKey(std::string_view listPath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string key = "LastScan/";
  for (char c : listPath) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
        b == '.' || b == '_' || b == '~')
      key += c;
    else
      key += {'%', kHex[b >> 4], kHex[b & 0xF]};
  }
  return key;
}

std::string fetchedDigestKey(std::string_view listName) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string key = kFetchedDigestsGroup;
  for (char c : listName) {
    const auto b = static_cast<unsigned char>(c);
    key += {kHex[b >> 4], kHex[b & 0xF]};
  }
  return key;
}

// Empty entries dropped: an empty list is stored as one empty string.
std::vector<std::string> nonEmpty(std::vector<std::string> list) {
  std::erase(list, std::string());
  return list;
}

// An empty list is stored as an empty text, which keeps "none" apart from
// "never set" for QSettings too.
void setListOrEmpty(IniFile& ini, const char* key, const std::vector<std::string>& list) {
  if (list.empty())
    ini.setText(key, "");
  else
    ini.setList(key, list);
}

}  // namespace

IniSettingsCore::IniSettingsCore(std::string path) : path_(std::move(path)) {}

IniFile IniSettingsCore::read() const {
  try {
    IniFile ini = IniFile::load(path_);
    problem_.clear();
    return ini;
  } catch (const FileError& e) {
    problem_ = e.what();
    return {};
  }
}

void IniSettingsCore::write(const IniFile& ini) {
  // A reader holds the file for a moment only: a write it blocks is tried again.
  for (int attempt = 0;; ++attempt) {
    try {
      ini.save(path_);
      problem_.clear();
      return;
    } catch (const FileError& e) {
      if (!e.inUse() || attempt == 50) {
        problem_ = e.what();
        return;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

bool IniSettingsCore::flag(const char* key) const { return read().flag(key, false); }

void IniSettingsCore::setFlag(const char* key, bool on) {
  update([&](IniFile& ini) { ini.setFlag(key, on); });
}

bool IniSettingsCore::buddyAlerts() const { return flag(kBuddyAlertsKey); }
void IniSettingsCore::setBuddyAlerts(bool on) { setFlag(kBuddyAlertsKey, on); }
bool IniSettingsCore::parallelScan() const { return flag(kParallelScanKey); }
void IniSettingsCore::setParallelScan(bool on) { setFlag(kParallelScanKey, on); }
bool IniSettingsCore::filterBar() const { return flag(kFilterBarKey); }
void IniSettingsCore::setFilterBar(bool on) { setFlag(kFilterBarKey, on); }
bool IniSettingsCore::colourCodes() const { return flag(kColourCodesKey); }
void IniSettingsCore::setColourCodes(bool on) { setFlag(kColourCodesKey, on); }
bool IniSettingsCore::pingColumn() const { return flag(kPingColumnKey); }
void IniSettingsCore::setPingColumn(bool on) { setFlag(kPingColumnKey, on); }
bool IniSettingsCore::numericPlayerSort() const { return flag(kNumericPlayerSortKey); }
void IniSettingsCore::setNumericPlayerSort(bool on) { setFlag(kNumericPlayerSortKey, on); }
bool IniSettingsCore::lastKnownResults() const { return flag(kLastKnownResultsKey); }
void IniSettingsCore::setLastKnownResults(bool on) { setFlag(kLastKnownResultsKey, on); }
bool IniSettingsCore::countryColumn() const { return flag(kCountryColumnKey); }
void IniSettingsCore::setCountryColumn(bool on) { setFlag(kCountryColumnKey, on); }
bool IniSettingsCore::historyRecording() const { return read().flag(kHistoryRecordingKey, true); }
void IniSettingsCore::setHistoryRecording(bool on) { setFlag(kHistoryRecordingKey, on); }
bool IniSettingsCore::refreshAtStart() const { return flag(kRefreshAtStartKey); }
void IniSettingsCore::setRefreshAtStart(bool on) { setFlag(kRefreshAtStartKey, on); }

int IniSettingsCore::scanRetries() const {
  const long long retries = read().number(kScanRetriesKey, 0);
  return static_cast<int>(std::clamp<long long>(retries, 0, kMaxScanRetries));
}

void IniSettingsCore::setScanRetries(int retries) {
  update([&](IniFile& ini) {
    ini.setNumber(kScanRetriesKey, std::clamp(retries, 0, kMaxScanRetries));
  });
}

ServerFilter IniSettingsCore::serverFilter() const {
  const IniFile ini = read();
  ServerFilter filter;
  filter.hideEmpty = ini.flag(kHideEmptyKey, false);
  filter.hideFull = ini.flag(kHideFullKey, false);
  filter.hideNoResponse = ini.flag(kHideNoResponseKey, false);
  // The text is code-page bytes, like the row texts it is matched against.
  filter.text = codePageBytes(ini.text(kFilterTextKey).value_or(""));
  filter.country = ini.text(kFilterCountryKey).value_or("");
  return filter;
}

void IniSettingsCore::setServerFilter(const ServerFilter& filter) {
  update([&](IniFile& ini) {
    ini.setFlag(kHideEmptyKey, filter.hideEmpty);
    ini.setFlag(kHideFullKey, filter.hideFull);
    ini.setFlag(kHideNoResponseKey, filter.hideNoResponse);
    ini.setText(kFilterTextKey, codePageToUtf8(filter.text));
    ini.setText(kFilterCountryKey, filter.country);
  });
}

namespace {

// Code page text as the JSON library dumps it as a string; printable ASCII
// without a quote or backslash (nearly every caption and address) stands as
// it is, so thousands of hits make no document each.
void appendJsonString(std::string& out, std::string_view bytes) {
  const bool plain = std::all_of(bytes.begin(), bytes.end(), [](char c) {
    return c >= 0x20 && c <= 0x7E && c != '"' && c != '\\';
  });
  if (!plain) {
    out += nlohmann::json(codePageToUtf8(bytes)).dump();
    return;
  }
  out += '"';
  out += bytes;
  out += '"';
}

// Reads the stored [[caption, server], ...] array as it streams by, without a
// document of thousands of pairs: an element that is not an array gives an
// empty pair, a member that is not a text an empty text; a text that is not
// such an array gives no pairs.
class HitPairsReader final : public nlohmann::json_sax<nlohmann::json> {
 public:
  std::vector<HeadlessBuddy> hits;

  bool null() override { return scalar(nullptr); }
  bool boolean(bool) override { return scalar(nullptr); }
  bool number_integer(number_integer_t) override { return scalar(nullptr); }
  bool number_unsigned(number_unsigned_t) override { return scalar(nullptr); }
  bool number_float(number_float_t, const string_t&) override { return scalar(nullptr); }
  bool string(string_t& text) override { return scalar(&text); }
  bool binary(binary_t&) override { return scalar(nullptr); }
  bool start_object(std::size_t) override { return open(false); }
  bool key(string_t&) override { return true; }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(true); }
  bool end_array() override { return close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  // A value inside the element being read: the pair's next member.
  void member(const std::string* text) {
    if (!inPair_) return;
    if (text && member_ < 2)
      (member_ == 0 ? hits.back().caption : hits.back().server) = codePageBytes(*text);
    ++member_;
  }
  bool scalar(const std::string* text) {
    if (depth_ == 1 && topIsArray_) hits.push_back({});
    if (depth_ == 2 && topIsArray_) member(text);
    return true;
  }
  bool open(bool array) {
    if (depth_ == 0) topIsArray_ = array;
    if (depth_ == 1 && topIsArray_) {
      hits.push_back({});
      inPair_ = array;
      member_ = 0;
    }
    if (depth_ == 2 && topIsArray_) member(nullptr);
    ++depth_;
    return true;
  }
  bool close() {
    --depth_;
    return true;
  }

  int depth_ = 0;
  bool topIsArray_ = false;
  bool inPair_ = false;
  int member_ = 0;
};

}  // namespace

std::vector<HeadlessBuddy> IniSettingsCore::lastScanHits(std::string_view listPath) const {
  const std::string text = read().takeText(lastScanKey(listPath)).value_or("");
  HitPairsReader reader;
  // One pair per separator (a text may hold one too), at most one per eight
  // bytes (["",""],): the pairs need no second, larger array while growing.
  std::size_t pairs = 1;
  for (std::size_t at = text.find("],["); at != std::string::npos; at = text.find("],[", at + 3))
    ++pairs;
  reader.hits.reserve(std::min(pairs, text.size() / 8 + 1));
  if (!nlohmann::json::sax_parse(text, &reader)) return {};
  return std::move(reader.hits);
}

void IniSettingsCore::setLastScanHits(std::string_view listPath,
                                      const std::vector<HeadlessBuddy>& hits) {
  // The text a JSON array of [caption, server] pairs dumps to, written pair
  // by pair: thousands of hits need no document in memory.
  std::string pairs = "[";
  for (const HeadlessBuddy& b : hits) {
    pairs += pairs.size() == 1 ? "[" : ",[";
    appendJsonString(pairs, b.caption);
    pairs += ',';
    appendJsonString(pairs, b.server);
    pairs += ']';
  }
  pairs += ']';
  update([&](IniFile& ini) { ini.adoptText(lastScanKey(listPath), std::move(pairs)); });
}

std::vector<std::string> IniSettingsCore::masterServers() const {
  if (std::optional<std::vector<std::string>> masters = read().list(kMastersKey))
    return nonEmpty(*masters);
  std::vector<std::string> masters;
  for (const MasterAddress& m : defaultMasters())
    masters.push_back(m.host + ":" + std::to_string(m.port));
  return masters;
}

void IniSettingsCore::setMasterServers(const std::vector<std::string>& masters) {
  update([&](IniFile& ini) { setListOrEmpty(ini, kMastersKey, masters); });
}

std::vector<MasterAddress> IniSettingsCore::masterAddresses() const {
  std::vector<MasterAddress> out;
  for (const std::string& line : masterServers()) {
    MasterAddress m;
    if (parseMasterAddress(line, m)) out.push_back(m);
  }
  return out;
}

std::vector<std::string> IniSettingsCore::discoveryGames() const {
  const std::optional<std::vector<std::string>> games = read().list(kGamesKey);
  return games ? nonEmpty(*games) : std::vector<std::string>{"mohaa", "mohaas"};
}

void IniSettingsCore::setDiscoveryGames(const std::vector<std::string>& games) {
  update([&](IniFile& ini) { setListOrEmpty(ini, kGamesKey, games); });
}

std::string IniSettingsCore::lanAddress() const {
  return read().text(kLanAddressKey).value_or("255.255.255.255");
}

std::pair<int, int> IniSettingsCore::lanPorts() const {
  const IniFile ini = read();
  const DiscoveryRequest defaults;
  auto port = [&](const char* key, int otherwise) {
    return static_cast<int>(std::clamp<long long>(ini.number(key, otherwise), -1, 65536));
  };
  return {port(kLanFirstPortKey, defaults.lanFirstPort),
          port(kLanLastPortKey, defaults.lanLastPort)};
}

std::vector<std::string> IniSettingsCore::fetchedLists() const {
  // List names are code-page bytes, like the file names they stand for.
  std::vector<std::string> names;
  for (const std::string& name : read().list(kFetchedListsKey).value_or(std::vector<std::string>{}))
    names.push_back(codePageBytes(name));
  return names;
}

bool IniSettingsCore::isFetchedList(std::string_view listName) const {
  const std::vector<std::string> names = fetchedLists();
  return std::find(names.begin(), names.end(), listName) != names.end();
}

void IniSettingsCore::addFetchedList(std::string_view listName) {
  update([&](IniFile& ini) {
    std::vector<std::string> names =
        ini.list(kFetchedListsKey).value_or(std::vector<std::string>{});
    const std::string name = codePageToUtf8(listName);
    if (std::find(names.begin(), names.end(), name) != names.end()) return;
    names.push_back(name);
    ini.setList(kFetchedListsKey, names);
  });
}

std::string IniSettingsCore::fetchedListDigestBytes(std::string_view listName) const {
  return read().bytes(fetchedDigestKey(listName)).value_or("");
}

void IniSettingsCore::setFetchedListDigestBytes(std::string_view listName,
                                                std::string_view digest) {
  update([&](IniFile& ini) { ini.setBytes(fetchedDigestKey(listName), digest); });
}

void IniSettingsCore::forgetFetchedList(std::string_view listName) {
  update([&](IniFile& ini) {
    ini.remove(fetchedDigestKey(listName));
    std::vector<std::string> names =
        ini.list(kFetchedListsKey).value_or(std::vector<std::string>{});
    if (std::erase(names, codePageToUtf8(listName)) > 0) ini.setList(kFetchedListsKey, names);
  });
}

std::vector<std::string> IniSettingsCore::watchLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : read().list(kWatchesKey).value_or(std::vector<std::string>{}))
    if (!line.empty()) lines.push_back(codePageBytes(line));
  return lines;
}

void IniSettingsCore::setWatchLines(const std::vector<std::string>& lines) {
  std::vector<std::string> stored;
  for (const std::string& line : lines) stored.push_back(codePageToUtf8(line));
  update([&](IniFile& ini) { setListOrEmpty(ini, kWatchesKey, stored); });
}

int IniSettingsCore::joinWaitMinutes() const {
  const long long minutes = read().number(kJoinMinutesKey, 10);
  return minutes > 0 && minutes <= 24 * 60 * 365 ? static_cast<int>(minutes) : 10;
}

void IniSettingsCore::setJoinWaitMinutes(int minutes) {
  update([&](IniFile& ini) { ini.setNumber(kJoinMinutesKey, minutes); });
}

}  // namespace tarvix
