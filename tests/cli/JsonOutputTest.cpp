// The --json documents read back with a JSON parser and checked field by
// field against what a scripted server sent.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <nlohmann/json.hpp>

#include "app/JsonOutput.h"
#include "app/core/CountryLookup.h"
#include "app/core/Headless.h"
#include "support/FakeGameServer.h"
#include "support/TempDataDir.h"

namespace tarvix {
namespace {

using namespace test;

QJsonObject parse(const std::string& json) {
  QJsonParseError error{};
  QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  return doc.object();
}

// A host name with double quotes, player names with a backslash, a double
// quote outside the name, and bytes above 0x7F (e acute, a-umlaut, and the
// euro sign, which Windows-1252 holds at 0x80).
const std::string kInfo =
    "\\sv_hostname\\Alpha \"Busy\" Server \xE9\x80\\mapname\\obj/obj_team2"
    "\\sv_maplist\\obj/obj_team1  obj/obj_team2\\version\\2.40\\URL\\http://clan.example/?a=\"1\""
    "\\sv_maxclients\\16";
const std::vector<std::pair<int, std::string>> kPlayers = {
    {35, "Sni\\per"}, {120, ""}, {7, "J\xE4ger"}};

TEST(JsonOutput, QueryDocumentHoldsEveryValueOfTheReply) {
  TempDataDir dir;
  dir.writeInstallation();
  dir.writeLines("Buddys.txt", {"sni\\PER"});
  FakeGameServer server;
  server.queueReply(makeStatusReply(kInfo, kPlayers));
  const QJsonObject root = parse(queryJson(queryServer("127.0.0.1", server.portText(), 2000)));

  ASSERT_EQ(root["servers"].toArray().size(), 1);
  const QJsonObject s = root["servers"].toArray()[0].toObject();
  EXPECT_EQ(s["address"].toString(), "127.0.0.1:" + QString::number(server.port()));
  EXPECT_EQ(s["state"].toString(), "answered");
  // Known only where a country database is installed; loopback has none.
  EXPECT_EQ(s.contains("country"), CountryLookup::shared().available());
  EXPECT_TRUE(s["country"].isNull());
  EXPECT_EQ(s["name"].toString(), QString::fromUtf8("Alpha \"Busy\" Server \u00e9\u20ac"));
  EXPECT_EQ(s["map"].toString(), "obj/obj_team2");
  EXPECT_EQ(s["max"].toInt(), 16);
  EXPECT_EQ(s["game"].toString(), "Medal of Honor");
  EXPECT_EQ(s["edition"].toString(), "Medal of Honor");
  EXPECT_EQ(s["version"].toString(), "2.40");
  EXPECT_EQ(s["link"].toString(), "http://clan.example/?a=\"1\"");
  // Two blanks in a row make no empty map name.
  EXPECT_EQ(s["rotation"].toArray(), QJsonArray({"obj/obj_team1", "obj/obj_team2"}));
  // A selected server lists every player line, the unnamed one included.
  EXPECT_EQ(s["players"].toInt(), 3);
  const QJsonArray players = s["playerList"].toArray();
  ASSERT_EQ(players.size(), 3);
  EXPECT_EQ(players[0].toObject()["name"].toString(), "Sni\\per");
  EXPECT_EQ(players[0].toObject()["ping"].toInt(), 35);
  EXPECT_EQ(players[1].toObject()["name"].toString(), "");
  EXPECT_EQ(players[2].toObject()["name"].toString(), QString::fromUtf8("J\u00e4ger"));
  EXPECT_EQ(players[2].toObject()["ping"].toInt(), 7);

  const QJsonArray buddies = root["buddies"].toArray();
  ASSERT_EQ(buddies.size(), 1);
  EXPECT_EQ(buddies[0].toObject()["caption"].toString(), "sni\\PER");
  EXPECT_EQ(root["status"].toString(), "answered");
}

// DEL and U+0080-U+009F are escaped; U+00A0 and the euro sign stay as they are.
TEST(JsonOutput, ControlCharactersAreEscaped) {
  const std::string name = "A\xC2\x80\xC2\x9F\x7F\xC2\xA0\xE2\x82\xAC";
  const std::string json = jsonDocument({{"name", name}});
  EXPECT_NE(json.find("\"A\\u0080\\u009f\\u007f\xC2\xA0\xE2\x82\xAC\""), std::string::npos) << json;
  EXPECT_EQ(parse(json)["name"].toString(), QString::fromStdString(name));
}

// The documents are laid out byte for byte as Qt's JSON writer laid them out
// before the command line did without Qt: indents, key order, empty lists,
// numbers, escapes.
TEST(JsonOutput, LayoutIsQtsIndentedLayout) {
  const std::vector<double> fractions = {2.5,    3.0,       -0.0,    -0.5,   0.1,      1.0 / 3,
                                         0.0001, 0.001,     0.00012, 1.5e-7, 100000.0, -1e15,
                                         1e16,   123456.75, 2e19,    1.5e300};
  const nlohmann::json doc = {
      {"b", {{"empty", nlohmann::json::array()}, {"none", nullptr}, {"yes", true}}},
      {"a", {1, -7, 9007199254740993LL, "x\"\\/\b\f\n\r\t\x01\x1f \xC3\xA9\xE2\x82\xAC"}},
      {"list", nlohmann::json::array({nlohmann::json::object(), nlohmann::json::array()})},
      {"fractions", fractions},
  };
  // Qt reads a whole number in a document as an integer; a double it is given it writes its way.
  QJsonObject qt = QJsonDocument::fromJson(QByteArray::fromStdString(doc.dump())).object();
  ASSERT_EQ(qt.size(), 4);
  QJsonArray qtFractions;
  for (double d : fractions) qtFractions.append(d);
  qt["fractions"] = qtFractions;
  EXPECT_EQ(jsonDocument(doc), QJsonDocument(qt).toJson(QJsonDocument::Indented).toStdString());
}

TEST(JsonOutput, ScanDocumentFollowsTheWindowsRowsAndBuddies) {
  TempDataDir dir;
  FakeGameServer busy, full, silent, odd;
  busy.setReply(makeStatusReply(kInfo, kPlayers));
  full.setReply(
      makeStatusReply("\\sv_hostname\\Full\\mapname\\dm/mohdm6\\gamename\\Medal of Honor "
                      "Spearhead\\sv_maxclients\\1",
                      {{50, "[TAG]Zed"}}));
  // Answers, but with a player limit that is no number: the row's "sends shit".
  odd.setReply(makeStatusReply("\\sv_hostname\\Odd\\sv_maxclients\\many", {}));
  const std::string host = FakeGameServer::host();
  dir.writeInstallation({"Busy \"One\"", host, busy.portText(), "Quiet", host, silent.portText(),
                         "Full\\Two", host, full.portText(), "Odd", host, odd.portText(),
                         "Nowhere"});
  dir.writeLines("Config",
                 {"timer off", "Serverlists\\Standard", "clantags on", "Player", "", "", "", "300",
                  "fast", "false", "0", "//Quellis Config - Dont change this file !"});
  dir.writeLines("Buddys.txt", {"J\xE4GER"});
  dir.writeLines("clantags.txt", {"[tag]"});

  const ScanOutcome scan = scanList(std::nullopt, 300);
  ASSERT_EQ(scan.exitCode, 0) << scan.error;
  // Written a server at a time, the document is still the one Qt lays out;
  // so is that of a failed pass without rows.
  ScanOutcome failed;
  failed.exitCode = 1;
  failed.error = "no list";
  for (const ScanOutcome* outcome : {&scan, static_cast<const ScanOutcome*>(&failed)}) {
    const std::string text = scanJson(*outcome, scan.buddies);
    EXPECT_EQ(text, QJsonDocument(parse(text)).toJson(QJsonDocument::Indented).toStdString());
  }
  const QJsonObject root = parse(scanJson(scan));
  EXPECT_EQ(root["list"].toString(), "Serverlists\\Standard");
  EXPECT_EQ(root["status"].toString(), "5 servers in Serverlists\\Standard");

  const QJsonArray servers = root["servers"].toArray();
  ASSERT_EQ(servers.size(), 5);
  // The window's order: captions sorted, "2/16" before "FULL".
  const QJsonObject one = servers[0].toObject();
  EXPECT_EQ(one["entry"].toString(), "Busy \"One\"");
  EXPECT_EQ(one["caption"].toString(), "2/16");
  EXPECT_EQ(one["state"].toString(), "answered");
  EXPECT_EQ(one["address"].toString(), QString::fromStdString(host + ":" + busy.portText()));
  EXPECT_EQ(one["name"].toString(), QString::fromUtf8("Alpha \"Busy\" Server \u00e9\u20ac"));
  EXPECT_EQ(one["link"].toString(), "http://clan.example/?a=\"1\"");
  // A scan counts named players only, and lists those.
  EXPECT_EQ(one["players"].toInt(), 2);
  ASSERT_EQ(one["playerList"].toArray().size(), 2);
  EXPECT_EQ(one["playerList"].toArray()[1].toObject()["name"].toString(),
            QString::fromUtf8("J\u00e4ger"));

  const QJsonObject two = servers[1].toObject();
  EXPECT_EQ(two["entry"].toString(), "Full\\Two");
  EXPECT_EQ(two["state"].toString(), "full");
  EXPECT_EQ(two["game"].toString(), "Spearhead");
  EXPECT_EQ(two["max"].toInt(), 1);
  EXPECT_TRUE(two["link"].isNull());  // no URL in its reply

  for (int i : {2, 3}) {
    const QJsonObject quiet = servers[i].toObject();
    EXPECT_EQ(quiet["state"].toString(), "no response");
    EXPECT_TRUE(quiet["name"].isNull());
  }
  // The entry without an address was never queried.
  EXPECT_TRUE(servers[3].toObject()["address"].isNull());
  EXPECT_EQ(servers[3].toObject()["entry"].toString(), "Nowhere");
  EXPECT_EQ(servers[4].toObject()["entry"].toString(), "Odd");
  EXPECT_EQ(servers[4].toObject()["state"].toString(), "unreadable");

  const QJsonArray buddies = root["buddies"].toArray();
  ASSERT_EQ(buddies.size(), 2);
  EXPECT_EQ(buddies[0].toObject()["caption"].toString(), "[TAG]Zed");
  EXPECT_EQ(buddies[0].toObject()["server"].toString(), "Full\\Two");
  EXPECT_EQ(buddies[1].toObject()["caption"].toString(), QString::fromUtf8("J\u00e4GER"));
  EXPECT_EQ(buddies[1].toObject()["server"].toString(), "Busy \"One\"");
}

}  // namespace
}  // namespace tarvix
