#include "StoreFixture.h"
#include "base/Text.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/DefaultServer.h"
#include "store/Passwords.h"

using namespace tarvix;

namespace {

using Lines = std::vector<std::string>;
using ConfigTest = StoreTest;

Lines sampleConfig() {
  return {"timer on",  "Serverlists\\Clan", "clantags on", "Nick", "joinpw",
          "C:\\a.exe", "D:\\b.exe",         "750",         "fast", "true",
          "2",         kConfigTrailer};
}

TEST_F(ConfigTest, WriteThenReadRestoresEverySetting) {
  Config in;
  in.autoScan = true;
  in.serverListPath = "Serverlists\\My List";
  in.clantagsOn = true;
  in.playerName = " [TX]Pl\xE4yer ";
  in.serverPassword = "pw";
  in.mohaaPath = "C:\\Games\\MOHAA.exe";
  in.spearheadPath = "C:\\Games\\moh_spearhead.exe";
  in.speedSetting = in.scanTimeout = 1250;
  in.safeScan = false;
  in.keptLine10Flag = true;
  in.bannerIndex = "7";
  writeConfig(in);
  EXPECT_EQ(get("Config"),
            "timer on\r\nServerlists\\My List\r\nclantags on\r\n [TX]Pl\xE4yer \r\npw\r\n"
            "C:\\Games\\MOHAA.exe\r\nC:\\Games\\moh_spearhead.exe\r\n1250\r\nfast\r\ntrue\r\n"
            "7\r\n//Quellis Config - Dont change this file !\r\n");
  Config out;
  readConfig(out);
  EXPECT_EQ(configLines(out), configLines(in));
  EXPECT_EQ(out.scanTimeout, 1250);

  Config off;
  writeConfig(off);
  EXPECT_EQ(splitLines(get("Config")),
            (Lines{"timer off", "Serverlists\\Standard", "clantags off", "", "", "", "", "500",
                   "fast", "false", "0", kConfigTrailer}));
  EXPECT_EQ(filesIn("."), Lines{"Config"});
}

TEST_F(ConfigTest, SaveScanOverridesTheTimeoutAndSwitchesAreExact) {
  Lines l = sampleConfig();
  l[0] = "Timer on";
  l[2] = "clantags on ";
  l[8] = "save";
  l[9] = "TRUE";
  l[7] = "500";
  put("Config", joinLinesCrlf(l));
  Config c;
  c.autoScan = c.clantagsOn = c.keptLine10Flag = true;
  readConfig(c);
  EXPECT_FALSE(c.autoScan);
  EXPECT_FALSE(c.clantagsOn);
  EXPECT_FALSE(c.keptLine10Flag);
  EXPECT_TRUE(c.safeScan);
  EXPECT_EQ(c.speedSetting, 500);
  EXPECT_EQ(c.scanTimeout, 10000);

  l[8] = "Save";
  put("Config", joinLinesCrlf(l));
  readConfig(c);
  EXPECT_FALSE(c.safeScan);
  EXPECT_EQ(c.scanTimeout, 500);
}

TEST_F(ConfigTest, LastBlockStandsAndShortFilesApplyWhatTheyHave) {
  Lines two = sampleConfig();
  Lines second = sampleConfig();
  second[1] = "Serverlists\\Second";
  second[7] = "300";
  two.insert(two.end(), second.begin(), second.end());
  two.push_back("timer off");  // a third block cut short after line 1
  put("Config", joinLinesCrlf(two));
  Config c;
  readConfig(c);
  EXPECT_EQ(c.serverListPath, "Serverlists\\Second");
  EXPECT_EQ(c.speedSetting, 300);
  EXPECT_FALSE(c.autoScan);

  put("Config", "timer on\nServerlists\\Short\n");
  Config s;
  s.playerName = "kept";
  readConfig(s);
  EXPECT_TRUE(s.autoScan);
  EXPECT_EQ(s.serverListPath, "Serverlists\\Short");
  EXPECT_EQ(s.playerName, "kept");
  EXPECT_EQ(s.speedSetting, 500);
}

TEST_F(ConfigTest, LineEightNotANumberStopsWithEarlierLinesApplied) {
  for (const char* bad : {"fast", "", " 500", "99999999999"}) {
    Lines l = sampleConfig();
    l[7] = bad;
    put("Config", joinLinesCrlf(l));
    Config c;
    try {
      readConfig(c);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const ConfigError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
    }
    EXPECT_EQ(c.spearheadPath, "D:\\b.exe");  // line 7 applied
    EXPECT_EQ(c.speedSetting, 500);           // line 8 and after not
    EXPECT_FALSE(c.keptLine10Flag);
    EXPECT_EQ(c.bannerIndex, "0");
  }
}

TEST_F(ConfigTest, MissingConfigIsAFileError) {
  Config c;
  EXPECT_THROW(readConfig(c), FileError);
}

using DefaultServerTest = StoreTest;

TEST_F(DefaultServerTest, ReadWriteAndClear) {
  EXPECT_THROW(readDefaultServer(), FileError);
  DefaultServer keep{"9.9.9.9", "9", "r"};
  EXPECT_THROW(readDefaultServerGroups(keep), FileError);

  put("default", "");
  DefaultServer d = readDefaultServer();
  EXPECT_EQ(d.ip + d.port + d.rconPassword, "");  // no default server
  readDefaultServerGroups(keep);
  EXPECT_EQ(keep.ip, "9.9.9.9");  // an empty file changes nothing

  writeDefaultServer({"10.0.0.1", "12203", "secret"});
  EXPECT_EQ(get("default"), "10.0.0.1\r\n12203\r\nsecret\r\n");
  d = readDefaultServer();
  EXPECT_EQ(d.ip, "10.0.0.1");
  EXPECT_EQ(d.port, "12203");
  EXPECT_EQ(d.rconPassword, "secret");

  clearDefaultServer();
  EXPECT_EQ(get("default"), "");
  EXPECT_TRUE(exists("default"));
}

TEST_F(DefaultServerTest, FirstThreeLinesVersusLastGroup) {
  put("default", "1.1.1.1\r\n1\r\nr1\r\n2.2.2.2\r\n");
  DefaultServer first = readDefaultServer();
  EXPECT_EQ(first.ip, "1.1.1.1");
  EXPECT_EQ(first.rconPassword, "r1");
  DefaultServer last{"x", "y", "z"};
  readDefaultServerGroups(last);
  EXPECT_EQ(last.ip, "2.2.2.2");
  EXPECT_EQ(last.port, "");
  EXPECT_EQ(last.rconPassword, "");

  put("default", "1.1.1.1\n");
  first = readDefaultServer();
  EXPECT_EQ(first.ip, "1.1.1.1");
  EXPECT_EQ(first.port, "");
}

using PasswordsTest = StoreTest;

TEST_F(PasswordsTest, ResetCreatesHeaderAndLookupsFindNothing) {
  EXPECT_THROW(lookupPasswords("1.2.3.4", "5"), FileError);
  EXPECT_THROW(appendPassword("1.2.3.4", "5", "pw"), FileError);
  EXPECT_FALSE(exists("Passwords.txt"));
  resetPasswords();
  EXPECT_EQ(get("Passwords.txt"), "// Tarvix 1.11 password list\r\n//\r\n\r\n");
  appendPassword("1.2.3.4", "5", "pw");
  resetPasswords();
  EXPECT_EQ(splitLines(get("Passwords.txt")).size(), 3u);
  Passwords p = lookupPasswords("1.2.3.4", "5");
  EXPECT_EQ(p.join, "");
  EXPECT_EQ(p.rcon, "");
  // The header lines never equal a key, even an empty one.
  p = lookupPasswords("", "");
  EXPECT_EQ(p.join, "");
  // Neither with records after the header, nor after an empty join password.
  appendPassword("1.2.3.4", "5", "");
  appendPassword("6.7.8.9", "10", "pw");
  p = lookupPasswords("", "");
  EXPECT_EQ(p.join, "");
  EXPECT_EQ(p.rcon, "");
  EXPECT_EQ(lookupPasswords("6.7.8.9", "10").join, "pw");
}

TEST_F(PasswordsTest, LastRecordOfEachKindCounts) {
  resetPasswords();
  appendPassword("10.0.0.1", "80", "first");
  appendRconPassword("10.0.0.1", "80", "admin");
  appendPassword("10.0.0.1", "80", "second");
  appendPassword("10.0.0.2", "80", "other");
  EXPECT_EQ(get("Passwords.txt"),
            "// Tarvix 1.11 password list\r\n//\r\n\r\n10.0.0.180\r\nfirst\r\n10.0.0.180\r\n"
            "rcon:admin\r\n10.0.0.180\r\nsecond\r\n10.0.0.280\r\nother\r\n");
  Passwords p = lookupPasswords("10.0.0.1", "80");
  EXPECT_EQ(p.join, "second");
  EXPECT_EQ(p.rcon, "admin");
  // Same key, different split of address and port.
  EXPECT_EQ(lookupPasswords("10.0.0.18", "0").join, "second");
  EXPECT_EQ(passwordKey("1.2.3.4", "50"), passwordKey("1.2.3.45", "0"));
}

TEST(PasswordLookupTest, RconRecordsAreRecognisedInAnyCase) {
  Lines file{"k", "// Tarvix 1.11 password list", "ab1", "my RCON:word", "ab1", "Rcon:x rcon:y"};
  Passwords p = lookupPasswordsIn(file, "ab", "1");
  EXPECT_EQ(p.join, "");
  EXPECT_EQ(p.rcon, "x y");
  // A value line is consumed: it is not taken as a key itself.
  p = lookupPasswordsIn({"key", "key", "pw"}, "ke", "y");
  EXPECT_EQ(p.join, "key");
  // A key on the last line reads an empty join password.
  p = lookupPasswordsIn({"key", "pw", "key"}, "ke", "y");
  EXPECT_EQ(p.join, "");
}

TEST_F(PasswordsTest, AppendWhileHeldIsInUse) {
  resetPasswords();
  ReadHold hold("Passwords.txt");
  try {
    appendRconPassword("1", "2", "x");
    FAIL() << "not refused";
  } catch (const FileError& e) {
    EXPECT_TRUE(e.inUse());
  }
}

}  // namespace
