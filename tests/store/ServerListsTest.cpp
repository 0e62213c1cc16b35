#include "StoreFixture.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"

using namespace tarvix;

namespace {

using Lines = std::vector<std::string>;

class ServerListsTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    makeListFolder();
  }
};

TEST(ServerListPathTest, PathAndNameConvert) {
  EXPECT_EQ(serverListPathFor("Standard"), "Serverlists\\Standard");
  EXPECT_EQ(listNameOf("Serverlists\\Clan Wars"), "Clan Wars");
  EXPECT_EQ(listNameOf("Standard"), "Standard");
}

TEST_F(ServerListsTest, OnlyOrdinaryFilesWithoutDotAreLists) {
  put("Serverlists/Standard", "");
  put("Serverlists/my", "");
  put("Serverlists/my.list", "");
  put("Serverlists/temp.tmp", "");
  put("Serverlists/.hidden", "");
  std::filesystem::create_directory("Serverlists/folder");
  Lines names = listServerLists();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Lines{"Standard", "my"}));
}

TEST_F(ServerListsTest, MissingFolderOrListIsAnError) {
  std::filesystem::remove("Serverlists");
  EXPECT_THROW(listServerLists(), FileError);
  EXPECT_THROW(readServerEntries("Serverlists\\Standard"), FileError);
  EXPECT_THROW(lookupServer("Serverlists\\Standard", "a"), FileError);
  EXPECT_THROW(appendServer("Serverlists\\Standard", "a", "1", "2"), FileError);
  EXPECT_THROW(removeServer("Serverlists\\Standard", "a"), FileError);
}

TEST_F(ServerListsTest, GroupReadingCountsAGroupCutShort) {
  put("Serverlists/empty", "");
  EXPECT_TRUE(readServerEntries("Serverlists\\empty").empty());

  put("Serverlists/l", "A\r\n1.1.1.1\r\n100\r\nB\n2.2.2.2\n200\nC\r\n");
  auto entries = readServerEntries("Serverlists\\l");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].name, "B");
  EXPECT_EQ(entries[1].ip, "2.2.2.2");
  EXPECT_EQ(entries[1].port, "200");
  EXPECT_EQ(entries[2].name, "C");
  EXPECT_EQ(entries[2].ip, "");
  EXPECT_EQ(entries[2].port, "");
  EXPECT_EQ(readServerNames("Serverlists\\l"), (Lines{"A", "B", "C"}));

  put("Serverlists/two", "D\r\n4.4.4.4\r\n");
  entries = readServerEntries("Serverlists\\two");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].ip, "4.4.4.4");
  EXPECT_EQ(entries[0].port, "");
}

TEST_F(ServerListsTest, LookupTakesTheLastExactMatchLineByLine) {
  put("Serverlists/l",
      "Dup\r\n1.1.1.1\r\n1\r\n"
      "dup\r\n9.9.9.9\r\n9\r\n"
      "Dup \r\n8.8.8.8\r\n8\r\n"
      "Dup\r\n2.2.2.2\r\n2\r\n");
  ServerAddress a = lookupServer("Serverlists\\l", "Dup");
  EXPECT_EQ(a.ip, "2.2.2.2");
  EXPECT_EQ(a.port, "2");
  EXPECT_EQ(lookupServer("Serverlists\\l", "dup").ip, "9.9.9.9");
  EXPECT_EQ(lookupServer("Serverlists\\l", "Dup ").ip, "8.8.8.8");
  a = lookupServer("Serverlists\\l", "none");
  EXPECT_EQ(a.ip, "");
  EXPECT_EQ(a.port, "");

  // Not aligned to groups: any line may be a key, the two lines after a key
  // are consumed (the Y on line 4 is a port), a key at the end reads empty.
  put("Serverlists/odd", "X\r\nY\r\n5\r\nY\r\nZ\r\nY\r\n6.6.6.6\r\n");
  a = lookupServer("Serverlists\\odd", "Y");
  EXPECT_EQ(a.ip, "6.6.6.6");
  EXPECT_EQ(a.port, "");
}

TEST_F(ServerListsTest, AppendAddsThreeCrLfLines) {
  put("Serverlists/Standard", "A\n1.1.1.1\n1\n");
  appendServer("Serverlists\\Standard", "New one", "10.0.0.1", "12203");
  EXPECT_EQ(get("Serverlists/Standard"), "A\n1.1.1.1\n1\nNew one\r\n10.0.0.1\r\n12203\r\n");
  EXPECT_EQ(readServerNames("Serverlists\\Standard"), (Lines{"A", "New one"}));
}

TEST_F(ServerListsTest, RemoveDropsEveryEntryOfThatNameOnly) {
  put("Serverlists/l",
      "Dup\r\n1.1.1.1\r\n1\r\n"
      "dup\r\n9.9.9.9\r\n9\r\n"
      "Keep\r\n3.3.3.3\r\n3\r\n"
      "Dup\r\n2.2.2.2\r\n2\r\n");
  removeServer("Serverlists\\l", "Dup");
  EXPECT_EQ(get("Serverlists/l"), "dup\r\n9.9.9.9\r\n9\r\nKeep\r\n3.3.3.3\r\n3\r\n");
  EXPECT_EQ(filesIn("Serverlists"), Lines{"l"});  // no temp.tmp nor other temporary

  removeServer("Serverlists\\l", "absent");
  EXPECT_EQ(get("Serverlists/l"), "dup\r\n9.9.9.9\r\n9\r\nKeep\r\n3.3.3.3\r\n3\r\n");
}

TEST(WithoutServerTest, WorksLineByLineNotByGroup) {
  // "N" on an IP line drops it and the next two lines, shifting the groups.
  EXPECT_EQ(withoutServer({"A", "N", "1", "B", "2.2.2.2", "2"}, "N"), (Lines{"A", "2.2.2.2", "2"}));
  // A name at the end drops what follows, however short.
  EXPECT_EQ(withoutServer({"A", "1", "1", "N", "5"}, "N"), (Lines{"A", "1", "1"}));
  EXPECT_EQ(withoutServer({}, "N"), Lines{});
}

TEST_F(ServerListsTest, RemoveWhileAReaderHoldsTheListFailsAndKeepsIt) {
  const std::string content = "A\r\n1.1.1.1\r\n1\r\nB\r\n2.2.2.2\r\n2\r\n";
  put("Serverlists/Standard", content);
  {
    ReadHold scan("Serverlists\\Standard");
    try {
      removeServer("Serverlists\\Standard", "A");
      FAIL() << "not refused";
    } catch (const FileError& e) {
      EXPECT_TRUE(e.inUse());
    }
    EXPECT_THROW(appendServer("Serverlists\\Standard", "C", "3", "3"), FileError);
  }
  EXPECT_EQ(get("Serverlists/Standard"), content);
  EXPECT_EQ(filesIn("Serverlists"), Lines{"Standard"});
  removeServer("Serverlists\\Standard", "A");
  EXPECT_EQ(readServerNames("Serverlists\\Standard"), Lines{"B"});
}

TEST_F(ServerListsTest, DeletingStandardIsRefused) {
  put("Serverlists/Standard", "A\r\n1\r\n1\r\n");
  put("Serverlists/Other", "");
  EXPECT_FALSE(deleteServerList("Standard"));
  EXPECT_TRUE(exists("Serverlists/Standard"));
  EXPECT_TRUE(deleteServerList("Other"));
  EXPECT_FALSE(exists("Serverlists/Other"));
  EXPECT_THROW(deleteServerList("Other"), FileError);
  {
    put("Serverlists/Held", "");
    ReadHold hold("Serverlists\\Held");
    EXPECT_THROW(deleteServerList("Held"), FileError);
  }
  EXPECT_TRUE(exists("Serverlists/Held"));
}

}  // namespace
