#include "app/JsonOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/core/CountryLookup.h"
#include "base/Text.h"
#include "components/QtText.h"

namespace tarvix {

namespace {

QJsonValue number(std::string_view text) {
  long long v = 0;
  return parseInt(text, v) ? QJsonValue(static_cast<qint64>(v)) : QJsonValue();
}

QJsonArray rotation(std::string_view mapList) {
  QJsonArray maps;
  std::size_t from = 0;
  while (from < mapList.size()) {
    std::size_t blank = mapList.find(' ', from);
    if (blank == std::string_view::npos) blank = mapList.size();
    if (blank > from) maps.append(toQString(mapList.substr(from, blank - from)));
    from = blank + 1;
  }
  return maps;
}

// The values of an answer; `countEmptyNames` follows the reading rule of the
// caller (a row selection lists every player line, a scan only named ones).
void addReply(QJsonObject& server, const StatusReply& s, bool countEmptyNames) {
  QJsonArray players;
  for (const Player& p : s.players) {
    if (!countEmptyNames && p.name.empty()) continue;
    players.append(QJsonObject{{"name", toQString(p.name)}, {"ping", number(p.ping)}});
  }
  server["name"] = toQString(s.hostName);
  server["map"] = toQString(s.mapName);
  server["players"] = players.size();
  server["max"] = number(s.maxClients);
  server["game"] = toQString(s.edition);
  server["edition"] = toQString(s.edition);
  server["version"] = toQString(s.version);
  server["rotation"] = rotation(s.mapList);
  server["link"] = s.hasLink ? QJsonValue(toQString(s.link)) : QJsonValue();
  server["playerList"] = players;
}

void addNoAnswer(QJsonObject& server) {
  for (const char* key : {"name", "map", "players", "max", "game", "edition", "version", "link"})
    server[key] = QJsonValue();
  server["rotation"] = QJsonArray();
  server["playerList"] = QJsonArray();
}

QJsonArray buddyArray(const std::vector<HeadlessBuddy>& buddies) {
  QJsonArray list;
  for (const HeadlessBuddy& b : buddies)
    list.append(QJsonObject{{"caption", toQString(b.caption)}, {"server", toQString(b.server)}});
  return list;
}

// "country": the ISO code of the address's host (null when the database does
// not know it), only where a country database is installed.
void addCountry(QJsonObject& server, const std::string& address) {
  CountryLookup& countries = CountryLookup::shared();
  if (!countries.available()) return;
  const Country c = countries.lookup(address.substr(0, address.rfind(':')));
  server["country"] = c.code.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(c.code));
}

}  // namespace

QByteArray jsonDocument(const QJsonObject& root) {
  const QByteArray raw = QJsonDocument(root).toJson(QJsonDocument::Indented);
  // Outside strings a document holds only ASCII, so these bytes are string content.
  QByteArray out;
  out.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const auto c = static_cast<unsigned char>(raw[i]);
    const bool c1 = c == 0xC2 && i + 1 < raw.size() &&
                    static_cast<unsigned char>(raw[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(raw[i + 1]) <= 0x9F;
    if (c != 0x7F && !c1) {
      out.append(raw[i]);
      continue;
    }
    const unsigned code = c1 ? static_cast<unsigned char>(raw[++i]) : c;
    out.append(QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0')).toLatin1());
  }
  return out;
}

QByteArray queryJson(const QueryOutcome& q) {
  QJsonObject server{{"address", toQString(q.host + ":" + q.port)},
                     {"state", q.answered ? "answered" : "no response"}};
  addCountry(server, q.host + ":" + q.port);
  if (q.answered)
    addReply(server, q.reply, true);
  else
    addNoAnswer(server);
  QJsonObject root{{"servers", QJsonArray{server}},
                   {"buddies", buddyArray(q.buddies)},
                   {"status", q.answered ? "answered" : "no response"}};
  if (!q.error.empty()) root["error"] = QString::fromLocal8Bit(q.error);
  return jsonDocument(root);
}

QByteArray scanJson(const ScanOutcome& scan, const std::vector<HeadlessBuddy>& newHits) {
  QJsonArray servers;
  for (const HeadlessRow& row : scan.rows) {
    QJsonObject server{{"entry", toQString(row.host)},
                       {"address", row.address.empty() ? QJsonValue() : toQString(row.address)},
                       {"state", rowStateName(row)},
                       {"caption", toQString(row.caption)}};
    addCountry(server, row.address);
    if (row.icon == RowAnswered || row.icon == RowFull) {
      addReply(server, readStatusReply(row.reply), false);
      server["game"] = toQString(row.game);
    } else {
      addNoAnswer(server);
    }
    servers.append(server);
  }
  QJsonObject root{{"list", toQString(scan.listPath)},
                   {"servers", servers},
                   {"buddies", buddyArray(scan.buddies)},
                   {"newBuddies", buddyArray(newHits)},
                   {"status", toQString(scan.status)}};
  if (scan.exitCode != 0) root["error"] = toQString(scan.error);
  return jsonDocument(root);
}

}  // namespace tarvix
