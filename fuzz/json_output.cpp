// The headless JSON documents over any reply: always valid JSON, and every
// text in them gives back the bytes it came from (names, map, rotation,
// link, buddies); numbers only where the reply holds a whole number.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "FuzzSupport.h"
#include "app/JsonOutput.h"
#include "base/Text.h"
#include "components/QtText.h"

using namespace tarvix;

namespace {

// Read back by Qt's parser, which wrote these documents before.
QJsonObject parsed(const std::string& json) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
  FUZZ_CHECK(error.error == QJsonParseError::NoError && doc.isObject());
  return doc.object();
}

bool sameBytes(const QJsonValue& v, std::string_view bytes) {
  return v.isString() && toBytes(v.toString()) == bytes;
}

void checkServer(const QJsonObject& server, const StatusReply& r, bool everyPlayer) {
  FUZZ_CHECK(sameBytes(server["name"], r.hostName));
  FUZZ_CHECK(sameBytes(server["map"], r.mapName));
  FUZZ_CHECK(sameBytes(server["version"], r.version));
  long long max = 0;
  FUZZ_CHECK(server["max"].isDouble() == parseInt(r.maxClients, max));
  FUZZ_CHECK(r.hasLink ? sameBytes(server["link"], r.link) : server["link"].isNull());

  std::vector<const Player*> listed;
  for (const Player& p : r.players)
    if (everyPlayer || !p.name.empty()) listed.push_back(&p);
  const QJsonArray players = server["playerList"].toArray();
  FUZZ_CHECK(server["players"].toInt() == players.size());
  FUZZ_CHECK(players.size() == static_cast<qsizetype>(listed.size()));
  for (qsizetype i = 0; i < players.size(); ++i)
    FUZZ_CHECK(sameBytes(players[i].toObject()["name"], listed[i]->name));

  std::vector<std::string_view> pieces;
  for (std::string_view piece : fuzz::splitAt(r.mapList, ' '))
    if (!piece.empty()) pieces.push_back(piece);
  const QJsonArray rotation = server["rotation"].toArray();
  FUZZ_CHECK(rotation.size() == static_cast<qsizetype>(pieces.size()));
  for (qsizetype i = 0; i < rotation.size(); ++i) FUZZ_CHECK(sameBytes(rotation[i], pieces[i]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw = fuzz::bytes(data, size);
  const StatusReply reply = readSelectedReply(raw);
  const std::string someName =
      reply.players.empty() ? std::string(raw.substr(0, 8)) : reply.players.front().name;

  QueryOutcome query;
  query.host = "127.0.0.1";
  query.port = "12203";
  query.answered = !raw.empty();
  query.reply = reply;
  query.buddies = {{someName, reply.hostName}};
  const QJsonObject q = parsed(queryJson(query));
  const QJsonObject server = q["servers"].toArray().first().toObject();
  if (query.answered)
    checkServer(server, reply, true);
  else
    FUZZ_CHECK(server["name"].isNull() && server["playerList"].toArray().isEmpty());
  const QJsonObject buddy = q["buddies"].toArray().first().toObject();
  FUZZ_CHECK(sameBytes(buddy["caption"], someName) && sameBytes(buddy["server"], reply.hostName));

  ScanOutcome scan;
  scan.listPath = "Serverlists\\Standard";
  HeadlessRow row;
  row.caption = reply.hostName;
  row.host = someName;
  row.icon = RowAnswered;
  row.address = "127.0.0.1:12203";
  row.reply = std::string(raw);
  scan.rows = {row};
  scan.status = "1 servers scanned";
  const QJsonObject s = parsed(scanJson(scan, query.buddies));
  const QJsonObject scanned = s["servers"].toArray().first().toObject();
  checkServer(scanned, readStatusReply(raw), false);
  FUZZ_CHECK(sameBytes(scanned["entry"], someName) &&
             sameBytes(scanned["caption"], reply.hostName));
  return 0;
}
