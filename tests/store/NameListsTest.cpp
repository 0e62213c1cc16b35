#include "StoreFixture.h"
#include "store/DataFile.h"
#include "store/NameListFile.h"
#include "store/NameLists.h"

using namespace tarvix;

namespace {

using Lines = std::vector<std::string>;
using NameListsTest = StoreTest;

TEST_F(NameListsTest, ReadsLinesWholeWithOrWithoutFinalBreak) {
  put("Buddys.txt", "Alpha\r\nbeta\r\n");
  EXPECT_EQ(readNameList(kBuddiesFile), (Lines{"Alpha", "beta"}));
  put("Buddys.txt", "Alpha\r\nbeta");
  EXPECT_EQ(readNameList(kBuddiesFile), (Lines{"Alpha", "beta"}));
  put("clantags.txt", "\r\n");
  EXPECT_EQ(readNameList(kClantagsFile), Lines{""});
  put("bans.txt", " lead \n\ntrail ");
  EXPECT_EQ(readNameList(kBansFile), (Lines{" lead ", "", "trail "}));
  put("skins.txt", "");
  EXPECT_TRUE(readNameList(kSkinsFile).empty());
}

TEST_F(NameListsTest, MissingFilesAreErrorsExceptMessagesAndAreNeverCreated) {
  for (const char* f : {kBuddiesFile, kClantagsFile, kBansFile, kSkinsFile, kMapsFile}) {
    EXPECT_THROW(readNameList(f), FileError) << f;
    EXPECT_THROW(appendNameEntry(f, "x"), FileError) << f;
  }
  EXPECT_THROW(readMaps(), FileError);
  EXPECT_THROW(appendMap({"a", "b"}), FileError);
  for (const char* f : {kBuddiesFile, kClantagsFile}) {
    EXPECT_THROW(NameListFile(f).replace({"a"}), FileError);
    EXPECT_THROW(NameListFile(f).clear(), FileError);
  }

  EXPECT_FALSE(readOptionalNameList(kMessagesFile).has_value());
  EXPECT_THROW(appendNameEntry(kMessagesFile, "hi"), FileError);
  EXPECT_TRUE(filesIn(".").empty());

  put("messages.txt", "one\r\n");
  auto messages = readOptionalNameList(kMessagesFile);
  ASSERT_TRUE(messages.has_value());
  EXPECT_EQ(*messages, Lines{"one"});
}

TEST_F(NameListsTest, AppendAddsDuplicatesAndRewriteRemovesOne) {
  put("bans.txt", "");
  appendNameEntry(kBansFile, "1.2.3.");
  appendNameEntry(kBansFile, "1.2.3.");
  EXPECT_EQ(get("bans.txt"), "1.2.3.\r\n1.2.3.\r\n");
  Lines bans = readNameList(kBansFile);
  bans.erase(bans.begin());
  rewriteNameList(kBansFile, bans);
  EXPECT_EQ(get("bans.txt"), "1.2.3.\r\n");

  // A plain rewrite creates the file.
  rewriteNameList(kSkinsFile, {"a", "b"});
  EXPECT_EQ(get("skins.txt"), "a\r\nb\r\n");
  // Deleting the second of three messages keeps the order of the others.
  put("messages.txt", "m1\r\nm2\r\nm3\r\n");
  Lines m = *readOptionalNameList(kMessagesFile);
  m.erase(m.begin() + 1);
  rewriteNameList(kMessagesFile, m);
  EXPECT_EQ(get("messages.txt"), "m1\r\nm3\r\n");
}

TEST_F(NameListsTest, AServerTextAppendsExactlyOneLineOrNothing) {
  put("bans.txt", "keep\r\n");
  put("Buddys.txt", "");
  put("maps.txt", "");
  // Line breaks would add lines (two bans from one name); an empty or blank
  // value would ban everybody or nobody. Each is refused with the user's
  // file named and the value shown escaped, and nothing is written.
  for (const std::string& bad :
       {std::string("Admin\nquit"), std::string("nl\r"), std::string("\r\n"), std::string(""),
        std::string(" "), std::string(" \t ")}) {
    SCOPED_TRACE(bad);
    try {
      appendNameEntry(kBansFile, bad);
      ADD_FAILURE() << "appended";
    } catch (const EntryError& e) {
      EXPECT_NE(std::string(e.what()).find("\"bans.txt\""), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(appendNameEntry(kBuddiesFile, "a\nb"), FileError);  // windows catch FileError
  EXPECT_THROW(appendMap({"Bridge", "obj/obj_team3\nquit"}), EntryError);
  EXPECT_EQ(get("bans.txt"), "keep\r\n");
  EXPECT_EQ(get("Buddys.txt"), "");
  EXPECT_EQ(get("maps.txt"), "");

  // Every other byte is data and is written as it came.
  const std::string odd("a\0b;\"quit\"\xFF\x7F ", 13);
  appendNameEntry(kBansFile, odd);
  EXPECT_EQ(get("bans.txt"), "keep\r\n" + odd + "\r\n");
  EXPECT_EQ(readNameList(kBansFile), (Lines{"keep", odd}));
}

TEST_F(NameListsTest, BuddyRewriteAndEmptyNeedAnExistingFile) {
  put("Buddys.txt", "old\r\n");
  const NameListFile buddies(kBuddiesFile), clantags(kClantagsFile);
  buddies.replace({"abe", "Zed"});
  EXPECT_EQ(get("Buddys.txt"), "abe\r\nZed\r\n");
  buddies.add("Cy");
  EXPECT_EQ(get("Buddys.txt"), "abe\r\nZed\r\nCy\r\n");
  buddies.clear();
  EXPECT_TRUE(exists("Buddys.txt"));
  EXPECT_EQ(get("Buddys.txt"), "");
  {
    put("clantags.txt", "[A]\r\n");
    ReadHold worker("clantags.txt");
    EXPECT_THROW(clantags.clear(), FileError);
    EXPECT_THROW(clantags.replace({}), FileError);
    EXPECT_THROW(clantags.add("[B]"), FileError);
  }
  EXPECT_EQ(get("clantags.txt"), "[A]\r\n");
  EXPECT_EQ(filesIn("."), (Lines{"Buddys.txt", "clantags.txt"}));
}

TEST_F(NameListsTest, MapsArePairsOfLines) {
  put("maps.txt", "Stalingrad\r\nobj/obj_team1\r\nBridge\r\n");
  auto maps = readMaps();
  ASSERT_EQ(maps.size(), 2u);
  EXPECT_EQ(maps[0], (MapEntry{"Stalingrad", "obj/obj_team1"}));
  EXPECT_EQ(maps[1], (MapEntry{"Bridge", ""}));

  put("maps.txt", "");
  appendMap({"V2 Rocket", "obj/obj_team4"});
  EXPECT_EQ(get("maps.txt"), "V2 Rocket\r\nobj/obj_team4\r\n");
  // A file without a final line break keeps its pairs aligned.
  put("maps.txt", "Stalingrad\r\nobj/obj_team1");
  appendMap({"V2 Rocket", "obj/obj_team4"});
  EXPECT_EQ(readMaps(), (std::vector<MapEntry>{{"Stalingrad", "obj/obj_team1"},
                                               {"V2 Rocket", "obj/obj_team4"}}));
  rewriteMaps({{"A", "a"}, {"B", ""}});
  EXPECT_EQ(get("maps.txt"), "A\r\na\r\nB\r\n\r\n");
  EXPECT_EQ(mapPairs(mapFileLines({{"x", "y"}, {"", "z"}})),
            (std::vector<MapEntry>{{"x", "y"}, {"", "z"}}));
}

TEST(NameMatchTest, BuddiesAndClantags) {
  EXPECT_TRUE(buddyMatches("Alpha", "aLPHA"));
  EXPECT_TRUE(buddyMatches("\xC9lan", "\xE9LAN"));
  EXPECT_FALSE(buddyMatches("Alpha", "Alpha "));
  EXPECT_FALSE(buddyMatches("Alpha", "[X]Alpha"));

  EXPECT_TRUE(clantagMatches("[tx]", "Joe[TX]"));
  EXPECT_TRUE(clantagMatches("[TX]", "[tx]"));
  EXPECT_FALSE(clantagMatches("[TX]", "[T X]"));
  EXPECT_FALSE(clantagMatches("", "anyone"));
  EXPECT_FALSE(clantagMatches("", ""));
}

TEST(NameMatchTest, BansMatchNamePartsAndIpText) {
  EXPECT_TRUE(banMatches("cheat", "BigCHEATer", "1.1.1.1"));
  EXPECT_TRUE(banMatches("Joe", "joe", "1.1.1.1"));
  EXPECT_TRUE(banMatches("10.0.", "Player", "10.0.3.4:12203"));
  EXPECT_FALSE(banMatches("10.0.5", "Player", "10.0.3.4"));
  EXPECT_FALSE(banMatches("Joe ", "Joe", "1.1.1.1"));
  // An empty or blank ban line bans nobody: not an empty name, not a name
  // with a blank, not an IP column that was never filled (" ").
  EXPECT_FALSE(banMatches("", "Player", "1.1.1.1"));
  EXPECT_FALSE(banMatches("", "", "1.1.1.1"));
  EXPECT_FALSE(banMatches(" ", "Bob Smith", " "));
  EXPECT_FALSE(banMatches("  ", "  ", ""));
  EXPECT_FALSE(banMatches("\t", "a\tb", ""));
  EXPECT_TRUE(banMatches(" Smith", "Bob Smith", " "));
}

TEST(NameMatchTest, SkinsMatchExactlyEitherTeam) {
  EXPECT_TRUE(skinMatches("german_waffenss", "german_waffenss", "american_army"));
  EXPECT_TRUE(skinMatches("american_army", "german_waffenss", "american_army"));
  EXPECT_FALSE(skinMatches("American_Army", "german_waffenss", "american_army"));
  EXPECT_FALSE(skinMatches("army", "german_waffenss", "american_army"));
  EXPECT_TRUE(skinMatches("", "", "american_army"));
}

}  // namespace
