// Writers killed at random moments: a child process runs one rewriting or
// appending function over and over and is SIGKILLed after a random delay.
// Every file then holds its old or its new content (appends: whole records
// only), the start-up sweep leaves no temporary file, and the files holding
// passwords keep mode 0600.
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <set>

#include "StoreFixture.h"
#include "base/Text.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/DefaultServer.h"
#include "store/NameLists.h"
#include "store/Passwords.h"
#include "store/ServerLists.h"
#include "store/SharedLists.h"

using namespace tarvix;

namespace {

using Lines = std::vector<std::string>;
constexpr int kKillsPerWriter = 12;
constexpr int kMaxDelayUs = 4000;

class FileCrashTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    makeListFolder();
    put("Serverlists/Standard", "One\r\n10.0.0.1\r\n1\r\n");
    put(kPasswordsFile, "// Tarvix 1.11 password list\r\n//\r\n\r\n");
    put(kDefaultFile, "");
    for (const char* list : {kBuddiesFile, kClantagsFile, kMapsFile}) put(list, "");
    ::chmod(kPasswordsFile, 0600);
    ::chmod(kDefaultFile, 0600);
    std::filesystem::create_directories("out");
    seed_ = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    rng_.seed(seed_);
  }

  // Runs `step` in a child process in an endless loop and kills the child
  // after a random delay once it has started; returns when it is gone.
  void killWhileRunning(const std::function<void(int)>& step) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      const char go = 1;
      if (::write(ready[1], &go, 1) != 1) ::_exit(1);
      for (int round = 0;; ++round) {
        try {
          step(round);
        } catch (...) {
          // A failing write is the writer's business; the next round tries again.
        }
      }
    }
    ::close(ready[1]);
    pollfd p{ready[0], POLLIN, 0};
    char go = 0;
    const bool started = ::poll(&p, 1, 10000) == 1 && ::read(ready[0], &go, 1) == 1;
    ::close(ready[0]);
    ::usleep(std::uniform_int_distribution<int>(0, kMaxDelayUs)(rng_));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(started) << "the writer did not start";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself";
  }

  // What every kill must leave: no temporary after the start-up sweep, and
  // the password files readable by their owner only.
  void expectSweptAndPrivate() {
    // A temporary of a password file is private from its first byte on.
    for (const std::string& name : filesIn("."))
      if (name.starts_with(std::string(kPasswordsFile) + ".~") ||
          name.starts_with(std::string(kDefaultFile) + ".~")) {
        struct stat st {};
        ASSERT_EQ(::stat(name.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
      }
    removeStaleTemporaries(".");
    removeStaleTemporaries("Serverlists");
    removeStaleTemporaries("out");
    for (const char* folder : {".", "Serverlists", "out"})
      for (const std::string& name : filesIn(folder))
        EXPECT_EQ(name.find(".~"), std::string::npos) << folder << "/" << name;
    for (const char* file : {kPasswordsFile, kDefaultFile}) {
      struct stat st {};
      ASSERT_EQ(::stat(file, &st), 0) << file;
      EXPECT_EQ(st.st_mode & 0777, 0600u) << file;
    }
  }

  // Kills a writer that switches the file between two contents; the file
  // must hold one of them each time.
  void expectOldOrNew(const std::string& file, const std::string& a, const std::string& b,
                      const std::function<void(bool)>& write) {
    for (int kill = 0; kill < kKillsPerWriter; ++kill) {
      killWhileRunning([&](int round) { write(round % 2 == 0); });
      const std::string now = get(file);
      EXPECT_TRUE(now == a || now == b)
          << file << " holds \"" << now << "\" (seed " << seed_ << ")";
      expectSweptAndPrivate();
    }
  }

  // Kills an appender; the file must hold what it held before followed by
  // whole records only.
  void expectWholeRecords(const std::string& file, const std::string& record,
                          const std::function<void()>& append) {
    for (int kill = 0; kill < kKillsPerWriter; ++kill) {
      const std::string before = get(file);
      killWhileRunning([&](int) { append(); });
      const std::string now = get(file);
      ASSERT_TRUE(now.starts_with(before)) << file << " (seed " << seed_ << ")";
      const std::string added = now.substr(before.size());
      EXPECT_EQ(added.size() % record.size(), 0u)
          << file << " (seed " << seed_ << ") size " << now.size() << " tail ["
          << escapeControls(now.substr(now.size() > 80 ? now.size() - 80 : 0)) << "] record "
          << escapeControls(record);
      for (std::size_t at = 0; at + record.size() <= added.size(); at += record.size())
        EXPECT_EQ(added.substr(at, record.size()), record) << file;
      expectSweptAndPrivate();
    }
  }

  unsigned seed_ = 0;
  std::mt19937 rng_;
};

Config configWith(const std::string& name, bool safeScan) {
  Config c;
  c.playerName = name;
  c.safeScan = safeScan;
  c.speedSetting = safeScan ? 750 : 250;
  return c;
}

TEST_F(FileCrashTest, RewritersLeaveTheOldOrTheNewContent) {
  const Config a = configWith("Alpha", false), b = configWith(std::string(5000, 'B'), true);
  writeConfig(a);
  expectOldOrNew(kConfigFile, joinLinesCrlf(configLines(a)), joinLinesCrlf(configLines(b)),
                 [&](bool first) { writeConfig(first ? b : a); });

  const DefaultServer server{"10.0.0.9", "12203", "rconsecret"};
  writeDefaultServer(server);
  expectOldOrNew(kDefaultFile, "10.0.0.9\r\n12203\r\nrconsecret\r\n", "", [&](bool first) {
    if (first)
      clearDefaultServer();
    else
      writeDefaultServer(server);
  });

  const Lines many(400, "some buddy"), few{"one"};
  rewriteNameList(kBuddiesFile, few);
  expectOldOrNew(kBuddiesFile, joinLinesCrlf(few), joinLinesCrlf(many),
                 [&](bool first) { rewriteNameList(kBuddiesFile, first ? many : few); });

  // Removing and appending the same server switches the list between two states.
  const std::string list = "Serverlists/Standard";
  const std::string withServer = get(list);
  expectOldOrNew(list, withServer, "", [&](bool first) {
    if (first)
      removeServer("Serverlists\\Standard", "One");
    else
      appendServer("Serverlists\\Standard", "One", "10.0.0.1", "1");
  });
}

TEST_F(FileCrashTest, ImportsAndExportsLeaveTheOldOrTheNewContent) {
  put("in/a/shared.txt", "First|10.0.0.1:1\r\n");
  put("in/b/shared.txt", std::string(300, 'x') + "|10.0.0.2:2\r\nThird|10.0.0.3:3\r\n");
  importTextList("in/b/shared.txt");
  const std::string longList = get("Serverlists/shared");
  importTextList("in/a/shared.txt");
  const std::string shortList = get("Serverlists/shared");
  expectOldOrNew("Serverlists/shared", shortList, longList, [&](bool first) {
    importTextList(first ? "in/b/shared.txt" : "in/a/shared.txt");
  });

  put("in/longer.txt", std::string(2000, 'y') + "|10.0.0.4:4\r\n");
  importTextList("in/longer.txt");
  exportSslf("Serverlists\\longer", "out/one");
  const std::string longExport = get("out/one.sslf");
  exportSslf("Serverlists\\Standard", "out/one");
  const std::string shortExport = get("out/one.sslf");
  expectOldOrNew("out/one.sslf", shortExport, longExport, [&](bool first) {
    exportSslf(first ? "Serverlists\\longer" : "Serverlists\\Standard", "out/one");
  });
}

TEST_F(FileCrashTest, PasswordResetsLeaveTheHeaderOrTheRecords) {
  const std::string header = "// Tarvix 1.11 password list\r\n//\r\n\r\n";
  resetPasswords();
  appendPassword("10.0.0.1", "1", "join");
  const std::string withRecord = get(kPasswordsFile);
  expectOldOrNew(kPasswordsFile, header, withRecord, [&](bool first) {
    if (first)
      resetPasswords();
    else
      appendPassword("10.0.0.1", "1", "join");
  });
}

TEST_F(FileCrashTest, AppendersAddWholeRecordsOnly) {
  expectWholeRecords(kPasswordsFile, "10.0.0.512203\r\nrcon:secret\r\n",
                     [] { appendRconPassword("10.0.0.5", "12203", "secret"); });
  expectWholeRecords("Serverlists/Standard", "Two\r\n10.0.0.2\r\n2\r\n",
                     [] { appendServer("Serverlists\\Standard", "Two", "10.0.0.2", "2"); });
  expectWholeRecords(kClantagsFile, "[CT]\r\n", [] { appendNameEntry(kClantagsFile, "[CT]"); });
  expectWholeRecords(kMapsFile, "Stalingrad\r\nobj/obj_team3\r\n", [] {
    appendMap({"Stalingrad", "obj/obj_team3"});
  });

  // An SSLF import replaces its list and appends its password records.
  put("in/crash.sslf", "Server=MoHAA 10.0.0.7:7 pw \"Seven\"\r\n");
  importSslf("in/crash.sslf");
  const std::string list = get("Serverlists/crash");
  expectWholeRecords(kPasswordsFile, "10.0.0.77\r\npw\r\n", [] { importSslf("in/crash.sslf"); });
  EXPECT_EQ(get("Serverlists/crash"), list);
}

// Killed while writing into a folder that takes no new file: the write is
// refused, so the file is never cut short, whatever the moment of the kill.
TEST_F(FileCrashTest, AFolderWithoutRoomForNewFilesKeepsItsFilesWhole) {
  const std::string old = joinLinesCrlf(Lines(300, "a ban"));
  put(kBansFile, old);
  const bool root = ::geteuid() == 0;
  // Root may create files anywhere: the writer runs as another user then.
  if (root) {
    ASSERT_EQ(::chown(kBansFile, 65534, 65534), 0);
  }
  ASSERT_EQ(::chmod(".", root ? 0755 : 0555), 0);
  for (int kill = 0; kill < kKillsPerWriter; ++kill) {
    killWhileRunning([&](int round) {
      if (round == 0 && root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
      if (round % 2)
        appendNameEntry(kBansFile, "another");
      else
        rewriteNameList(kBansFile, {"short"});
    });
    EXPECT_EQ(get(kBansFile), old) << "kill " << kill << " (seed " << seed_ << ")";
  }
  ::chmod(".", 0755);
}

TEST_F(FileCrashTest, StartUpSweepSparesRunningWritersAndOtherFiles) {
  put("Config.~999999999-1", "left by a killed writer");  // no such process
  put("Serverlists/Standard.~999999999-2", "");
  const std::string own = "Config.~" + std::to_string(::getpid()) + "-7";
  put(own, "a writer that still runs");
  put("notes.~txt", "not a temporary");
  put("Serverlists/odd.~12-x", "not a temporary");
  EXPECT_EQ(removeStaleTemporaries("."), 1);
  EXPECT_EQ(removeStaleTemporaries("Serverlists"), 1);
  EXPECT_TRUE(exists(own));
  EXPECT_TRUE(exists("notes.~txt"));
  EXPECT_TRUE(exists("Serverlists/odd.~12-x"));
  EXPECT_FALSE(exists("Config.~999999999-1"));

  // Beside a linked file's target: only that file's temporaries, of any
  // name length.
  const std::string longName(255, 'n');
  put("elsewhere/" + longName, "");
  put("elsewhere/bans.txt", "");
  ASSERT_EQ(::symlink(("../elsewhere/" + longName).c_str(), "Serverlists/Long"), 0);
  ASSERT_EQ(::symlink("elsewhere/bans.txt", kBansFile), 0);
  put("elsewhere/" + longName.substr(0, 232) + ".~999999999-3", "");
  put("elsewhere/bans.txt.~999999999-4", "");
  put("elsewhere/other.~999999999-5", "not a linked file's");
  EXPECT_EQ(removeStaleTemporariesOfLinks("."), 1);
  EXPECT_EQ(removeStaleTemporariesOfLinks("Serverlists"), 1);
  EXPECT_EQ(filesIn("elsewhere"), (Lines{"bans.txt", longName, "other.~999999999-5"}));
}

}  // namespace
