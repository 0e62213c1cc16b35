#include "components/IniSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

#include "components/QtText.h"

namespace tarvix {

namespace {

constexpr const char* kBuddyAlertsKey = "BuddyAlerts/enabled";
constexpr const char* kParallelScanKey = "Scan/parallel";

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

bool IniSettings::parallelScan() const {
  return QSettings(path_, QSettings::IniFormat).value(kParallelScanKey, false).toBool();
}

void IniSettings::setParallelScan(bool on) {
  QSettings(path_, QSettings::IniFormat).setValue(kParallelScanKey, on);
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

}  // namespace tarvix
