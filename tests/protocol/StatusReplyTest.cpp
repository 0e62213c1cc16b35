#include <gtest/gtest.h>

#include "protocol/StatusReply.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using tarvix::test::MakeStatusReply;

namespace {
const std::string kHeader = "\xFF\xFF\xFF\xFF\x01statusResponse\n";
}

TEST(StatusReply, WellFormedReplyYieldsEveryValue) {
  std::string raw = MakeStatusReply(
      "\\sv_hostname\\My Server\\mapname\\obj/obj_team2\\sv_maxclients\\16"
      "\\sv_maplist\\obj/obj_team1 obj/obj_team2\\version\\2.15\\URL\\www.example.org",
      {{35, "Sniper"}, {120, ""}});
  TStatusReply r = ReadStatusReply(raw);
  EXPECT_EQ(r.Raw, raw);
  EXPECT_EQ(r.HostName, "My Server");
  EXPECT_EQ(r.MapName, "obj/obj_team2");
  EXPECT_EQ(r.MaxClients, "16");
  EXPECT_EQ(r.MapList, "obj/obj_team1 obj/obj_team2");
  EXPECT_EQ(r.Version, "2.15");
  EXPECT_TRUE(r.HasLink);
  EXPECT_EQ(r.Link, "www.example.org");
  EXPECT_EQ(r.Edition, "Medal of Honor");
  ASSERT_EQ(r.Players.size(), 2u);
  EXPECT_EQ(r.Players[0].Ping, "35");
  EXPECT_EQ(r.Players[0].Name, "Sniper");
  EXPECT_EQ(r.Players[1].Ping, "120");
  EXPECT_EQ(r.Players[1].Name, "");
  EXPECT_TRUE(r.Players[1].HasName);
  EXPECT_EQ(r.ScanPlayerCount(), 1);
  EXPECT_EQ(r.DetailPlayerCount(), 2);
  EXPECT_EQ(ScanPlayerNames(raw), std::vector<std::string>{"Sniper"});
}

// The last value of the info line ends at its line feed, not in the player lines.
TEST(StatusReply, LastValueOfTheInfoLineEndsAtTheLineFeed) {
  auto players = std::vector<std::pair<int, std::string>>{{35, "Sniper"}, {50, "Bob"}};
  TStatusReply a = ReadStatusReply(MakeStatusReply("\\sv_hostname\\Srv\\sv_maxclients\\16", players));
  EXPECT_EQ(a.MaxClients, "16");
  EXPECT_FALSE(IsFull(a.ScanPlayerCount(), a.MaxClients));
  long long max = 0;
  EXPECT_TRUE(MaxClientsNumber(a.MaxClients, max));
  EXPECT_EQ(max, 16);

  TStatusReply b = ReadStatusReply(MakeStatusReply("\\sv_maxclients\\2\\mapname\\dm/mohdm6", players));
  EXPECT_EQ(b.MapName, "dm/mohdm6");
  EXPECT_TRUE(IsFull(b.ScanPlayerCount(), b.MaxClients));

  TStatusReply c = ReadStatusReply(MakeStatusReply("\\version\\2.15\\sv_hostname\\Last", players));
  EXPECT_EQ(c.HostName, "Last");
  EXPECT_EQ(QuickAddName(MakeStatusReply("\\version\\2.15\\sv_hostname\\Last", players)), "Last");

  // The same in the row-selection view and for the link.
  TStatusReply d = ReadSelectedReply(MakeStatusReply("\\mapname\\x\\URL\\http://a.b", players));
  EXPECT_EQ(d.Link, "http://a.b");
  EXPECT_EQ(d.Players.size(), 2u);
}

TEST(StatusReply, SearchTextsKeepTheirMatchingRules) {
  // The first "mapname\" ends the host name value and gives the map name.
  TStatusReply r = ReadStatusReply(kHeader + "\\sv_hostname\\Test mapname\\mapname\\dm/mohdm6\n");
  EXPECT_EQ(r.HostName, "Test mapname");
  EXPECT_EQ(r.MapName, "mapname");

  // Without a leading backslash the text is found inside another key.
  EXPECT_EQ(KeyValue("\\xsv_hostname\\Fake\\sv_hostname\\Real", kHostNameKey), "Fake");
  // With one it is not.
  EXPECT_EQ(KeyValue("\\mysv_maplist\\a b", kMapListKey), "");
  EXPECT_EQ(KeyValue("\\gameversion\\9\\version\\2.15", kVersionKey), "2.15");
  // Exact letter case.
  EXPECT_EQ(KeyValue("\\SV_HOSTNAME\\x", kHostNameKey), "");
  // A value runs to the end of the text without a backslash or line feed;
  // a key at the very end has an empty value.
  EXPECT_EQ(KeyValue("\\mapname\\dm/mohdm1", kMapNameKey), "dm/mohdm1");
  EXPECT_EQ(KeyValue("\\mapname\\", kMapNameKey), "");
  EXPECT_EQ(KeyValue("", kMapNameKey), "");
}

TEST(StatusReply, MissingKeysGiveEmptyValuesAndNoLink) {
  TStatusReply r = ReadStatusReply(kHeader + "\\sv_hostname\\Srv\n");
  EXPECT_EQ(r.MapList, "");
  EXPECT_EQ(r.Version, "");
  EXPECT_EQ(r.MapName, "");
  EXPECT_FALSE(r.HasLink);
  EXPECT_EQ(r.Link, "");

  std::string link;
  EXPECT_FALSE(LinkValue("\\url\\www.x.org", link));  // any case passes the test, exact text missing
  EXPECT_TRUE(LinkValue("\\URL\\", link));
  EXPECT_EQ(link, "");
}

TEST(StatusReply, EditionFromAnywhereInTheReply) {
  EXPECT_EQ(EditionOf(kHeader + "\\gamename\\Medal of Honor Spearhead\n"), "Spearhead");
  EXPECT_EQ(EditionOf(kHeader + "\\gamename\\MEDAL OF HONOR SPEARHEAD\n"), "Spearhead");
  EXPECT_EQ(EditionOf(MakeStatusReply("\\x\\y", {{1, "medal of honor spearhead"}})), "Spearhead");
  EXPECT_EQ(EditionOf(kHeader + "\\gamename\\Medal of Honor Allied Assault\n"), "Medal of Honor");
  EXPECT_EQ(EditionOf(""), "Medal of Honor");
}

TEST(StatusReply, PlayerLines) {
  // Colour codes and odd bytes stay in the name; a last line without line
  // feed is a player; a line without quotes is listed but has no name.
  std::string raw = kHeader + "\\x\\y\n" + "10 \"^1Red\xE9\"\n" + "noquotes\n" + "20 5 \"open\n" +
                    "999 \"Last\"";
  auto players = PlayerLines(raw);
  ASSERT_EQ(players.size(), 4u);
  EXPECT_EQ(players[0].Name, "^1Red\xE9");
  EXPECT_EQ(players[1].Ping, "noquotes");
  EXPECT_FALSE(players[1].HasName);
  EXPECT_EQ(players[2].Ping, "20");
  EXPECT_EQ(players[2].Name, "open");
  EXPECT_EQ(players[3].Ping, "999");
  EXPECT_EQ(players[3].Name, "Last");
  TStatusReply r = ReadStatusReply(raw);
  EXPECT_EQ(r.ScanPlayerCount(), 3);
  EXPECT_EQ(r.DetailPlayerCount(), 4);

  // Header and info line only: no players, with or without the final LF.
  EXPECT_TRUE(PlayerLines(kHeader + "\\x\\y\n").empty());
  EXPECT_TRUE(PlayerLines(kHeader + "\\x\\y").empty());
  EXPECT_TRUE(PlayerLines("").empty());
}

TEST(StatusReply, FullTest) {
  EXPECT_TRUE(IsFull(16, "16"));
  EXPECT_FALSE(IsFull(15, "16"));
  EXPECT_FALSE(IsFull(0, ""));
  EXPECT_FALSE(IsFull(16, "16x"));
  long long v = 0;
  EXPECT_FALSE(MaxClientsNumber("sixteen", v));
  EXPECT_FALSE(MaxClientsNumber("", v));
  // A non-numeric maximum on the wire is read as text, so the caller can
  // tell it cannot be read.
  TStatusReply r = ReadStatusReply(MakeStatusReply("\\sv_maxclients\\lots", {{1, "a"}}));
  EXPECT_EQ(r.MaxClients, "lots");
  EXPECT_FALSE(MaxClientsNumber(r.MaxClients, v));
}

TEST(StatusReply, ValidityTestsPerCaller) {
  const std::string full = MakeStatusReply("\\sv_hostname\\Srv\\mapname\\dm/mohdm1", {});
  const std::string noMarker = "statusResponse\n\\sv_hostname\\Srv\\padding padding padding\n";
  const std::string noResponse = "\xFF\xFF\xFF\xFF\x01print\nsomething\n";

  EXPECT_TRUE(ScanAnswered(full));
  EXPECT_FALSE(ScanAnswered(noMarker));
  EXPECT_TRUE(ScanAnswered(noResponse));
  EXPECT_FALSE(ScanAnswered("\xFF\xFF\xFF"));
  EXPECT_FALSE(ScanAnswered(""));

  EXPECT_TRUE(RowSelectionAnswered(full));
  EXPECT_TRUE(RowSelectionAnswered(noMarker));
  EXPECT_TRUE(RowSelectionAnswered("STATUSRESPONSE"));
  EXPECT_FALSE(RowSelectionAnswered(noResponse));
  EXPECT_FALSE(RowSelectionAnswered(""));

  EXPECT_FALSE(BuddyDoubleClickAnswered(std::string(40, 'x')));
  EXPECT_TRUE(BuddyDoubleClickAnswered(std::string(41, 'x')));

  std::string quick40 = "sv_hostname\\" + std::string(28, 'n');
  ASSERT_EQ(quick40.size(), 40u);
  EXPECT_FALSE(QuickAddAnswered(quick40));
  EXPECT_TRUE(QuickAddAnswered(quick40 + "n"));
  EXPECT_FALSE(QuickAddAnswered(std::string(60, 'x')));
  EXPECT_EQ(QuickAddName(quick40), "");
  EXPECT_EQ(QuickAddName(quick40 + "n"), std::string(29, 'n'));
  EXPECT_EQ(QuickAddName(full), "Srv");

  EXPECT_TRUE(DirectConnectAnswered("x"));
  EXPECT_FALSE(DirectConnectAnswered(""));
  EXPECT_FALSE(DirectConnectSetsEdition(std::string(40, 'x')));
  EXPECT_TRUE(DirectConnectSetsEdition(std::string(41, 'x')));

  EXPECT_TRUE(ConsoleAnswered(full));
  EXPECT_TRUE(ConsoleAnswered("xSTATUSx"));
  EXPECT_FALSE(ConsoleAnswered(noResponse));
}

TEST(StatusReply, RowSelectionCleanUp) {
  std::string raw = "\xFF\xFF\xFF\xFF\x01StatusRESPONSE\n\\sv_hostname\\statusresponse\n" +
                    std::string("5 \"A\xFF" "B\"\n");
  std::string text = RowSelectionText(raw);
  EXPECT_EQ(text, "\n\\sv_hostname\\statusresponse\n5 \"AB\"\n");
  TStatusReply r = ReadSelectedReply(raw);
  EXPECT_EQ(r.Raw, raw);
  EXPECT_EQ(r.HostName, "statusresponse");  // not preceded by 01, so kept
  ASSERT_EQ(r.Players.size(), 1u);
  EXPECT_EQ(r.Players[0].Name, "AB");
  // The scan reads the name unchanged.
  EXPECT_EQ(ReadStatusReply(raw).Players[0].Name, "A\xFF" "B");
}

TEST(StatusReply, EmptyReplyReadsAsNothing) {
  TStatusReply r = ReadStatusReply("");
  EXPECT_TRUE(r.Raw.empty());
  EXPECT_TRUE(r.HostName.empty());
  EXPECT_TRUE(r.Players.empty());
  EXPECT_FALSE(r.HasLink);
  EXPECT_EQ(RowSelectionText(""), "");
}
