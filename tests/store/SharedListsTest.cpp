#include <array>
#include <optional>
#include <tuple>

#include "StoreFixture.h"
#include "base/Text.h"
#include "store/DataFile.h"
#include "store/Passwords.h"
#include "store/ServerLists.h"
#include "store/SharedLists.h"

using namespace tarvix;

namespace {

using Lines = std::vector<std::string>;

class SharedListsTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    makeListFolder();
    std::filesystem::create_directory("ext");
  }
  std::string ext(const std::string& name) const { return dir() + "/ext/" + name; }
};

TEST(SslfLineTest, ServerLineWithAndWithoutPassword) {
  EXPECT_EQ(sslfServerLine("1.2.3.4", "12203", "", "My Server"),
            "Server=MoHAA 1.2.3.4:12203 \"\" \"My Server\"");
  EXPECT_EQ(sslfServerLine("1.2.3.4", "12203", "pw", "My Server"),
            "Server=MoHAA 1.2.3.4:12203 pw \"My Server\"");
  EXPECT_EQ(sslfExportPath("/home/u/x.sslf"), "/home/u/x.sslf.sslf");
  Lines h = sslfHeaderLines();
  ASSERT_EQ(h.size(), 7u);
  EXPECT_EQ(h[0], "SSLF - Shared Server List Format - Version 1.01");
  EXPECT_EQ(h[1], " ");
  EXPECT_TRUE(h[2].starts_with("// Create by HLSW (") && h[2].ends_with(")"));
  EXPECT_TRUE(h[3].starts_with("// Dateiformatsinformationen auf ") &&
              h[3].ends_with(" unter Developer"));
  EXPECT_EQ(h[4], " ");
  EXPECT_TRUE(h[5].starts_with("Name=\"") && h[5].ends_with(" - serverlist\""));
  EXPECT_EQ(h[6], " ");
}

// Name, ip, port, whether a password was given, and the password.
using SslfFields = std::tuple<std::string, std::string, std::string, bool, std::string>;
std::optional<SslfFields> sslfFields(const std::string& line) {
  const auto s = parseSslfLine(line);
  if (!s) return std::nullopt;
  return SslfFields{s->name, s->ip, s->port, s->hasPassword, s->password};
}

TEST(SslfLineTest, ParsesServerLinesAndSurvivesMalformedOnes) {
  const std::vector<std::pair<std::string, SslfFields>> cases = {
      {"Server=MoHAA 1.2.3.4:12203 \"\" \"My Server\"",
       {"My Server", "1.2.3.4", "12203", false, ""}},
      {"server=\"Counter Strike\" 1. 2.3.4 :27015 secret \"A \"quoted\" name\"",
       {"A quoted name", "1.2.3.4", "27015", true, "secret"}},
      // A name without the empty password pair before it.
      {"Server=MoHAA 1.2.3.4:1 \"Name\"", {"Name", "1.2.3.4", "1", false, ""}},
      // Malformed tails.
      {"Server=MoHAA 1.2.3.4:12203", {"", "1.2.3.4", "12203", false, ""}},
      {"Server=MoHAA 1.2.3.4:1 pw", {"", "1.2.3.4", "1", true, "pw"}},
      {"Server=MoHAA 1.2.3.4:1 \"\" \"Unclosed", {"Unclosed", "1.2.3.4", "1", false, ""}},
      {"Server=MoHAA 1.2.3.4:1 \"", {"", "1.2.3.4", "1", false, ""}},
  };
  for (const auto& [line, fields] : cases) EXPECT_EQ(sslfFields(line), fields) << line;

  for (const char* skipped :
       {"", "SSLF - Shared Server List Format - Version 1.01", "Name=\"x - serverlist\"",
        "Server=", "Server=MoHAA", "Server=\"MoHAA 1.2.3.4:5 \"\" \"n\"" /* unclosed type */,
        "Server=MoHAA 1.2.3.4 \"\" \"no colon\"", "Server=\"MoHAA\""})
    EXPECT_FALSE(parseSslfLine(skipped).has_value()) << skipped;
}

TEST(TextListLineTest, SplitsAtLastColonAndLastBarBeforeIt) {
  // line, then name, ip and port.
  const std::vector<std::array<std::string, 4>> cases = {
      {"My|Server|1.2.3.4:80", "My|Server", "1.2.3.4", "80"},
      {"a:b|c|1.2.3.4:80", "a:b|c", "1.2.3.4", "80"},
      // The last colon decides; a "|" after it is port text.
      {"Name|1.2.3.4:80|x", "Name", "1.2.3.4", "80|x"},
      {" sp |1.2.3.4: 80 ", " sp ", "1.2.3.4", " 80 "},
      {"no colon|here", "", "", "no colon|here"},
      {"1.2.3.4:80", "", "1.2.3.4", "80"},
      {"", "", "", ""},
  };
  for (const auto& [line, name, ip, port] : cases) {
    const ServerEntry e = parseTextListLine(line);
    EXPECT_EQ((std::array<std::string, 3>{e.name, e.ip, e.port}),
              (std::array<std::string, 3>{name, ip, port}))
        << line;
  }
}

TEST(ListNameTest, FileNamePartWithEveryExtensionRemoved) {
  EXPECT_EQ(sslfListName("/home/u/Team.sslf"), "Team");
  EXPECT_EQ(sslfListName("/home/u/my.list.SSLF"), "my.list");
  EXPECT_EQ(sslfListName("/a.sslf/x.sslfy.Sslf"), "xy");
  EXPECT_EQ(textListName("/home/u/ase.TXT"), "ase");
  EXPECT_EQ(textListName("servers.txt.txt"), "servers");
}

TEST_F(SharedListsTest, ExportWritesHeaderServersAndLastJoinPasswords) {
  // The last entry is cut short after its name: no address, no password.
  put("Serverlists/Clan", "One\r\n1.1.1.1\r\n100\r\nTwo\r\n2.2.2.2\r\n200\r\nThree\r\n");
  resetPasswords();
  appendPassword("1.1.1.1", "100", "old");
  appendPassword("1.1.1.1", "100", "join1");
  appendRconPassword("1.1.1.1", "100", "admin");
  appendRconPassword("2.2.2.2", "200", "admin2");

  std::string out = exportSslf("Serverlists\\Clan", ext("Clan"));
  EXPECT_EQ(out, ext("Clan.sslf"));
  Lines expected = sslfHeaderLines();
  expected.push_back("Server=MoHAA 1.1.1.1:100 join1 \"One\"");
  expected.push_back("Server=MoHAA 2.2.2.2:200 \"\" \"Two\"");
  expected.push_back("Server=MoHAA : \"\" \"Three\"");
  EXPECT_EQ(get(out), joinLinesCrlf(expected));

  EXPECT_EQ(exportSslf("Serverlists\\Clan", ext("x.sslf")), ext("x.sslf.sslf"));
  EXPECT_TRUE(exists(ext("x.sslf.sslf")));
}

TEST_F(SharedListsTest, ExportFailures) {
  EXPECT_THROW(exportSslf("Serverlists\\Missing", ext("m")), FileError);
  EXPECT_FALSE(exists(ext("m.sslf")));

  // Without Passwords.txt the export stops at its first server.
  put("Serverlists/L", "One\r\n1.1.1.1\r\n100\r\n");
  EXPECT_THROW(exportSslf("Serverlists\\L", ext("L")), FileError);
  EXPECT_EQ(get(ext("L.sslf")), joinLinesCrlf(sslfHeaderLines()));

  // An empty list needs no passwords.
  put("Serverlists/E", "");
  exportSslf("Serverlists\\E", ext("E"));
  EXPECT_EQ(get(ext("E.sslf")), joinLinesCrlf(sslfHeaderLines()));
}

TEST_F(SharedListsTest, ExportThenImportRoundTrips) {
  put("Serverlists/Team",
      "Alpha\r\n10.0.0.1\r\n12203\r\n Beta  server\r\n10.0.0.2\r\n12204\r\n"
      "alpha\r\n10.0.0.3\r\n12205\r\n");
  resetPasswords();
  appendPassword("10.0.0.2", "12204", "b-pass");
  std::string out = exportSslf("Serverlists\\Team", ext("Team"));
  std::filesystem::remove("Serverlists/Team");

  EXPECT_EQ(importSslf(out), "Team");
  EXPECT_EQ(get("Serverlists/Team"),
            "Alpha\r\n10.0.0.1\r\n12203\r\n Beta  server\r\n10.0.0.2\r\n12204\r\n"
            "alpha\r\n10.0.0.3\r\n12205\r\n");
  // The last join password is appended again.
  EXPECT_EQ(get("Passwords.txt"),
            "// Tarvix 1.11 password list\r\n//\r\n\r\n10.0.0.212204\r\nb-pass\r\n"
            "10.0.0.212204\r\nb-pass\r\n");
  EXPECT_EQ(filesIn("Serverlists"), Lines{"Team"});
}

TEST_F(SharedListsTest, ImportReplacesAListOfTheSameName) {
  resetPasswords();
  put(ext("Team.sslf"), "SSLF\r\nServer=MoHAA 1.1.1.1:1 \"\" \"First\"\r\n");
  put("Serverlists/Team", "Old\r\n9.9.9.9\r\n9\r\n");
  EXPECT_EQ(importSslf(ext("Team.sslf")), "Team");
  EXPECT_EQ(get("Serverlists/Team"), "First\r\n1.1.1.1\r\n1\r\n");
  put(ext("Team.sslf"), "Server=MoHAA 2.2.2.2:2 \"\" \"Second\"\n");
  importSslf(ext("Team.sslf"));
  EXPECT_EQ(get("Serverlists/Team"), "Second\r\n2.2.2.2\r\n2\r\n");

  // A list named with a dot is written but not offered as a list.
  put(ext("my.list.sslf"), "Server=MoHAA 3.3.3.3:3 \"\" \"X\"\r\n");
  EXPECT_EQ(importSslf(ext("my.list.sslf")), "my.list");
  EXPECT_TRUE(exists("Serverlists/my.list"));
  EXPECT_EQ(listServerLists(), Lines{"Team"});
}

TEST_F(SharedListsTest, ImportFailures) {
  EXPECT_THROW(importSslf(ext("none.sslf")), FileError);
  EXPECT_FALSE(exists("Serverlists/none"));

  // Without Passwords.txt the import stops at the first server with a
  // password; the servers before it stay.
  put(ext("P.sslf"),
      "Server=MoHAA 1.1.1.1:1 \"\" \"Open\"\r\nServer=MoHAA 2.2.2.2:2 pw \"Locked\"\r\n"
      "Server=MoHAA 3.3.3.3:3 \"\" \"After\"\r\n");
  EXPECT_THROW(importSslf(ext("P.sslf")), FileError);
  EXPECT_EQ(get("Serverlists/P"), "Open\r\n1.1.1.1\r\n1\r\n");
  EXPECT_FALSE(exists("Passwords.txt"));

  // A list held by a reader is not replaced, and no passwords are added.
  resetPasswords();
  put("Serverlists/P", "Kept\r\n1\r\n1\r\n");
  {
    ReadHold scan("Serverlists\\P");
    EXPECT_THROW(importSslf(ext("P.sslf")), FileError);
    put(ext("P.txt"), "x|1.1.1.1:1\r\n");
    EXPECT_THROW(importTextList(ext("P.txt")), FileError);
  }
  EXPECT_EQ(get("Serverlists/P"), "Kept\r\n1\r\n1\r\n");
  EXPECT_EQ(splitLines(get("Passwords.txt")).size(), 3u);
}

TEST_F(SharedListsTest, TextListImportMakesOneEntryPerLine) {
  put(ext("ASE.Txt"), "My|Server|1.2.3.4:80\r\n\r\nplain:1\nName|5.6.7.8:9");
  EXPECT_EQ(importTextList(ext("ASE.Txt")), "ASE");
  EXPECT_EQ(get("Serverlists/ASE"),
            "My|Server\r\n1.2.3.4\r\n80\r\n"
            "\r\n\r\n\r\n"
            "\r\nplain\r\n1\r\n"
            "Name\r\n5.6.7.8\r\n9\r\n");
  put(ext("ASE.Txt"), "B|2.2.2.2:2\r\n");
  importTextList(ext("ASE.Txt"));
  EXPECT_EQ(readServerNames("Serverlists\\ASE"), Lines{"B"});
  EXPECT_THROW(importTextList(ext("missing.txt")), FileError);
}

}  // namespace
