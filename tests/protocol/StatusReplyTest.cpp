#include <gtest/gtest.h>

#include "protocol/StatusReply.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using tarvix::test::makeStatusReply;

namespace {
const std::string kHeader = "\xFF\xFF\xFF\xFF\x01statusResponse\n";
}

TEST(StatusReply, WellFormedReplyYieldsEveryValue) {
  std::string raw = makeStatusReply(
      "\\sv_hostname\\My Server\\mapname\\obj/obj_team2\\sv_maxclients\\16"
      "\\sv_maplist\\obj/obj_team1 obj/obj_team2\\version\\2.15\\URL\\www.example.org",
      {{35, "Sniper"}, {120, ""}});
  StatusReply r = readStatusReply(raw);
  EXPECT_EQ(r.raw, raw);
  EXPECT_EQ(r.hostName, "My Server");
  EXPECT_EQ(r.mapName, "obj/obj_team2");
  EXPECT_EQ(r.maxClients, "16");
  EXPECT_EQ(r.mapList, "obj/obj_team1 obj/obj_team2");
  EXPECT_EQ(r.version, "2.15");
  EXPECT_TRUE(r.hasLink);
  EXPECT_EQ(r.link, "www.example.org");
  EXPECT_EQ(r.edition, "Medal of Honor");
  ASSERT_EQ(r.players.size(), 2u);
  EXPECT_EQ(r.players[0].ping, "35");
  EXPECT_EQ(r.players[0].name, "Sniper");
  EXPECT_EQ(r.players[1].ping, "120");
  EXPECT_EQ(r.players[1].name, "");
  EXPECT_TRUE(r.players[1].hasName);
  EXPECT_EQ(r.scanPlayerCount(), 1);
  EXPECT_EQ(r.detailPlayerCount(), 2);
  EXPECT_EQ(scanPlayerNames(raw), std::vector<std::string>{"Sniper"});
}

// The last value of the info line ends at its line feed, not in the player lines.
TEST(StatusReply, LastValueOfTheInfoLineEndsAtTheLineFeed) {
  auto players = std::vector<std::pair<int, std::string>>{{35, "Sniper"}, {50, "Bob"}};
  StatusReply a =
      readStatusReply(makeStatusReply("\\sv_hostname\\Srv\\sv_maxclients\\16", players));
  EXPECT_EQ(a.maxClients, "16");
  EXPECT_FALSE(isFull(a.scanPlayerCount(), a.maxClients));
  long long max = 0;
  EXPECT_TRUE(maxClientsNumber(a.maxClients, max));
  EXPECT_EQ(max, 16);

  StatusReply b =
      readStatusReply(makeStatusReply("\\sv_maxclients\\2\\mapname\\dm/mohdm6", players));
  EXPECT_EQ(b.mapName, "dm/mohdm6");
  EXPECT_TRUE(isFull(b.scanPlayerCount(), b.maxClients));

  StatusReply c = readStatusReply(makeStatusReply("\\version\\2.15\\sv_hostname\\Last", players));
  EXPECT_EQ(c.hostName, "Last");
  EXPECT_EQ(quickAddName(makeStatusReply("\\version\\2.15\\sv_hostname\\Last", players)), "Last");

  // The same in the row-selection view and for the link.
  StatusReply d = readSelectedReply(makeStatusReply("\\mapname\\x\\URL\\http://a.b", players));
  EXPECT_EQ(d.link, "http://a.b");
  EXPECT_EQ(d.players.size(), 2u);
}

TEST(StatusReply, SearchTextsKeepTheirMatchingRules) {
  // The first "mapname\" ends the host name value and gives the map name.
  StatusReply r = readStatusReply(kHeader + "\\sv_hostname\\Test mapname\\mapname\\dm/mohdm6\n");
  EXPECT_EQ(r.hostName, "Test mapname");
  EXPECT_EQ(r.mapName, "mapname");

  // Without a leading backslash the text is found inside another key.
  EXPECT_EQ(keyValue("\\xsv_hostname\\Fake\\sv_hostname\\Real", kHostNameKey), "Fake");
  // With one it is not.
  EXPECT_EQ(keyValue("\\mysv_maplist\\a b", kMapListKey), "");
  EXPECT_EQ(keyValue("\\gameversion\\9\\version\\2.15", kVersionKey), "2.15");
  // Exact letter case.
  EXPECT_EQ(keyValue("\\SV_HOSTNAME\\x", kHostNameKey), "");
  // A value runs to the end of the text without a backslash or line feed;
  // a key at the very end has an empty value.
  EXPECT_EQ(keyValue("\\mapname\\dm/mohdm1", kMapNameKey), "dm/mohdm1");
  EXPECT_EQ(keyValue("\\mapname\\", kMapNameKey), "");
  EXPECT_EQ(keyValue("", kMapNameKey), "");
}

TEST(StatusReply, MissingKeysGiveEmptyValuesAndNoLink) {
  StatusReply r = readStatusReply(kHeader + "\\sv_hostname\\Srv\n");
  EXPECT_EQ(r.mapList, "");
  EXPECT_EQ(r.version, "");
  EXPECT_EQ(r.mapName, "");
  EXPECT_FALSE(r.hasLink);
  EXPECT_EQ(r.link, "");

  std::string link;
  EXPECT_FALSE(
      linkValue("\\url\\www.x.org", link));  // any case passes the test, exact text missing
  EXPECT_TRUE(linkValue("\\URL\\", link));
  EXPECT_EQ(link, "");
}

TEST(StatusReply, EditionFromAnywhereInTheReply) {
  EXPECT_EQ(editionOf(kHeader + "\\gamename\\Medal of Honor Spearhead\n"), "Spearhead");
  EXPECT_EQ(editionOf(kHeader + "\\gamename\\MEDAL OF HONOR SPEARHEAD\n"), "Spearhead");
  EXPECT_EQ(editionOf(makeStatusReply("\\x\\y", {{1, "medal of honor spearhead"}})), "Spearhead");
  EXPECT_EQ(editionOf(kHeader + "\\gamename\\Medal of Honor Allied Assault\n"), "Medal of Honor");
  EXPECT_EQ(editionOf(""), "Medal of Honor");
}

TEST(StatusReply, PlayerLines) {
  // Colour codes and odd bytes stay in the name; a last line without line
  // feed is a player; a line without quotes is listed but has no name.
  std::string raw =
      kHeader + "\\x\\y\n" + "10 \"^1Red\xE9\"\n" + "noquotes\n" + "20 5 \"open\n" + "999 \"Last\"";
  auto players = playerLines(raw);
  ASSERT_EQ(players.size(), 4u);
  EXPECT_EQ(players[0].name, "^1Red\xE9");
  EXPECT_EQ(players[1].ping, "noquotes");
  EXPECT_FALSE(players[1].hasName);
  EXPECT_EQ(players[2].ping, "20");
  EXPECT_EQ(players[2].name, "open");
  EXPECT_EQ(players[3].ping, "999");
  EXPECT_EQ(players[3].name, "Last");
  StatusReply r = readStatusReply(raw);
  EXPECT_EQ(r.scanPlayerCount(), 3);
  EXPECT_EQ(r.detailPlayerCount(), 4);

  // Header and info line only: no players, with or without the final LF.
  EXPECT_TRUE(playerLines(kHeader + "\\x\\y\n").empty());
  EXPECT_TRUE(playerLines(kHeader + "\\x\\y").empty());
  EXPECT_TRUE(playerLines("").empty());
}

TEST(StatusReply, FullTest) {
  EXPECT_TRUE(isFull(16, "16"));
  EXPECT_TRUE(isFull(17, "16"));  // reserved slots over the maximum
  EXPECT_FALSE(isFull(15, "16"));
  EXPECT_FALSE(isFull(0, ""));
  EXPECT_FALSE(isFull(16, "16x"));
  long long v = 0;
  EXPECT_FALSE(maxClientsNumber("sixteen", v));
  EXPECT_FALSE(maxClientsNumber("", v));
  // A non-numeric maximum on the wire is read as text, so the caller can
  // tell it cannot be read.
  StatusReply r = readStatusReply(makeStatusReply("\\sv_maxclients\\lots", {{1, "a"}}));
  EXPECT_EQ(r.maxClients, "lots");
  EXPECT_FALSE(maxClientsNumber(r.maxClients, v));
}

TEST(StatusReply, ValidityTestsPerCaller) {
  const std::string full = makeStatusReply("\\sv_hostname\\Srv\\mapname\\dm/mohdm1", {});
  const std::string noMarker = "statusResponse\n\\sv_hostname\\Srv\\padding padding padding\n";
  const std::string noResponse = "\xFF\xFF\xFF\xFF\x01print\nsomething\n";

  EXPECT_TRUE(scanAnswered(full));
  EXPECT_FALSE(scanAnswered(noMarker));
  EXPECT_TRUE(scanAnswered(noResponse));
  EXPECT_FALSE(scanAnswered("\xFF\xFF\xFF"));
  EXPECT_FALSE(scanAnswered(""));

  EXPECT_TRUE(rowSelectionAnswered(full));
  EXPECT_TRUE(rowSelectionAnswered(noMarker));
  EXPECT_TRUE(rowSelectionAnswered("STATUSRESPONSE"));
  EXPECT_FALSE(rowSelectionAnswered(noResponse));
  EXPECT_FALSE(rowSelectionAnswered(""));

  EXPECT_FALSE(buddyDoubleClickAnswered(std::string(40, 'x')));
  EXPECT_TRUE(buddyDoubleClickAnswered(std::string(41, 'x')));

  std::string quick40 = "sv_hostname\\" + std::string(28, 'n');
  ASSERT_EQ(quick40.size(), 40u);
  EXPECT_FALSE(quickAddAnswered(quick40));
  EXPECT_TRUE(quickAddAnswered(quick40 + "n"));
  EXPECT_FALSE(quickAddAnswered(std::string(60, 'x')));
  EXPECT_EQ(quickAddName(quick40), "");
  EXPECT_EQ(quickAddName(quick40 + "n"), std::string(29, 'n'));
  EXPECT_EQ(quickAddName(full), "Srv");

  EXPECT_TRUE(directConnectAnswered("x"));
  EXPECT_FALSE(directConnectAnswered(""));
  EXPECT_FALSE(directConnectSetsEdition(std::string(40, 'x')));
  EXPECT_TRUE(directConnectSetsEdition(std::string(41, 'x')));

  EXPECT_TRUE(consoleAnswered(full));
  EXPECT_TRUE(consoleAnswered("xSTATUSx"));
  EXPECT_FALSE(consoleAnswered(noResponse));
}

TEST(StatusReply, RowSelectionCleanUp) {
  std::string raw =
      "\xFF\xFF\xFF\xFF\x01StatusRESPONSE\n\\sv_hostname\\statusresponse\n" + std::string(
                                                                                  "5 \"A\xFF"
                                                                                  "B\"\n");
  std::string text = rowSelectionText(raw);
  EXPECT_EQ(text, "\n\\sv_hostname\\statusresponse\n5 \"AB\"\n");
  StatusReply r = readSelectedReply(raw);
  EXPECT_EQ(r.raw, raw);
  EXPECT_EQ(r.hostName, "statusresponse");  // not preceded by 01, so kept
  ASSERT_EQ(r.players.size(), 1u);
  EXPECT_EQ(r.players[0].name, "AB");
  // The scan reads the name unchanged.
  EXPECT_EQ(readStatusReply(raw).players[0].name,
            "A\xFF"
            "B");
}

TEST(StatusReply, EmptyReplyReadsAsNothing) {
  StatusReply r = readStatusReply("");
  EXPECT_TRUE(r.raw.empty());
  EXPECT_TRUE(r.hostName.empty());
  EXPECT_TRUE(r.players.empty());
  EXPECT_FALSE(r.hasLink);
  EXPECT_EQ(rowSelectionText(""), "");
}
