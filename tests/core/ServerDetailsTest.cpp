// Reading one selected server's reply for the details display, the
// installed-map check, and queries that wait off the caller's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "app/core/ServerDetails.h"
#include "support/FakeGameServer.h"
#include "support/TempDataDir.h"

using namespace tarvix;
using namespace tarvix::test;

TEST(ServerDetails, MapRotationPiecesKeepEmptyPiecesButNoEmptyTail) {
  using V = std::vector<std::string>;
  EXPECT_EQ(mapRotationPieces("obj/obj_team1 obj/obj_team2 obj/obj_team3"),
            (V{"obj/obj_team1", "obj/obj_team2", "obj/obj_team3"}));
  EXPECT_EQ(mapRotationPieces("a  b "), (V{"a", "", "b"}));
  EXPECT_EQ(mapRotationPieces(" a"), (V{"", "a"}));
  EXPECT_EQ(mapRotationPieces(""), V{});
}

TEST(ServerDetails, LinkNeedsWwwOrHttpAndLosesEveryHttpPrefix) {
  auto link = [](std::string info) {
    StatusReply r = readStatusReply(makeStatusReply(info, {}));
    std::string caption, target;
    linkDisplay(r, caption, target);
    return std::make_pair(caption, target);
  };
  EXPECT_EQ(
      link("\\URL\\http://www.clan.example"),
      std::make_pair(std::string("www.clan.example"), std::string("http://www.clan.example")));
  EXPECT_EQ(
      link("\\URL\\HTTP://clan.example/Http://x"),
      std::make_pair(std::string("clan.example/x"), std::string("HTTP://clan.example/Http://x")));
  EXPECT_EQ(link("\\URL\\WWW.clan.example"),
            std::make_pair(std::string("WWW.clan.example"), std::string("WWW.clan.example")));
  const auto none = std::make_pair(std::string("no link available"), std::string(kHomePage));
  EXPECT_EQ(link("\\URL\\clan.example"), none);
  EXPECT_EQ(link("\\sv_hostname\\x"), none);
  // Found ignoring case but not exactly: no link.
  EXPECT_EQ(link("\\url\\http://www.clan.example"), none);
}

TEST(ServerDetails, RowSelectionDropsFfBytesWhileTheBuddyReaderKeepsThem) {
  const std::string raw = makeStatusReply(
      "\\sv_hostname\\Srv\\mapname\\dm/mohdm1\\sv_maxclients\\2", {{35, "Sn\xFFiper"}, {80, ""}});
  ServerDetails sel = rowSelectionDetails(raw);
  ASSERT_TRUE(sel.answered);
  ASSERT_EQ(sel.reply.players.size(), 2u);
  EXPECT_EQ(sel.reply.players[0].name, "Sniper");
  EXPECT_EQ(sel.reply.players[0].ping, "35");
  EXPECT_EQ(sel.countText, "2/2");
  EXPECT_TRUE(sel.maxIsNumber);
  EXPECT_TRUE(sel.full);

  ServerDetails buddy = buddyDetails(raw);
  ASSERT_TRUE(buddy.answered);
  EXPECT_EQ(buddy.reply.players[0].name, "Sn\xFFiper");
}

TEST(ServerDetails, ValidityDiffersBetweenRowSelectionAndBuddyDoubleClick) {
  // 41 bytes without the header word: a buddy answer, not a row answer.
  const std::string plain(41, 'x');
  EXPECT_FALSE(rowSelectionDetails(plain).answered);
  EXPECT_TRUE(buddyDetails(plain).answered);
  EXPECT_FALSE(buddyDetails(std::string(40, 'x')).answered);
  EXPECT_TRUE(rowSelectionDetails("\x01StatusRESPONSE").answered);
  EXPECT_FALSE(rowSelectionDetails("").answered);
  const ServerDetails none = rowSelectionDetails("");
  EXPECT_EQ(none.linkCaption, "no link available");
  EXPECT_EQ(none.linkTarget, std::string(kHomePage));
}

TEST(ServerDetails, MaximumThatIsNotANumberIsNeverFull) {
  ServerDetails d = rowSelectionDetails(makeStatusReply("\\sv_maxclients\\abc", {{1, "a"}}));
  EXPECT_EQ(d.countText, "1/abc");
  EXPECT_FALSE(d.maxIsNumber);
  EXPECT_FALSE(d.full);
  EXPECT_EQ(conversionErrorText("abc"), "'abc' is not a valid integer value");
}

TEST(ServerDetails, MapFolderIsMainBesideTheGameOrOfTheCurrentFolder) {
  EXPECT_EQ(mapFolderFor(""), "main");
  EXPECT_EQ(mapFolderFor("MOHAA.exe"), "main");
  EXPECT_EQ(mapFolderFor("/games/mohaa/MOHAA.exe"), "/games/mohaa/main");
  EXPECT_EQ(mapFolderFor("C:\\Games\\MOHAA\\MOHAA.exe"), "C:/Games/MOHAA/main");
}

TEST(ServerDetails, InstalledMapCheck) {
  TempDataDir dir;
  // Stock maps count as installed without any file.
  EXPECT_TRUE(mapInstalled("obj/obj_team2", ""));
  EXPECT_TRUE(mapInstalled("DM/MOHDM6", ""));
  EXPECT_FALSE(mapInstalled("dm/mymap", ""));
  dir.write("main/user-MyMap.pk3", "x");
  EXPECT_TRUE(mapInstalled("dm/mymap", ""));
  EXPECT_TRUE(mapInstalled("OBJ/MYMAP", ""));
  EXPECT_FALSE(mapInstalled("dm/othermap", ""));
  // Beside the executable, not in the current folder.
  dir.write("game/main/other.pk3", "x");
  const std::string exe = dir.path() + "/game/MOHAA.exe";
  EXPECT_FALSE(mapInstalled("dm/mymap", exe));
  EXPECT_TRUE(mapInstalled("dm/other", exe));
}
