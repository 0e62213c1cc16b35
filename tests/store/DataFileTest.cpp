#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "StoreFixture.h"
#include "app/core/IniSettingsCore.h"
#include "base/Text.h"
#include "store/DataFile.h"

using namespace tarvix;

namespace {

using Lines = std::vector<std::string>;

TEST(TextTest, SplitLinesAcceptsCrLfAndBareLfWithoutTrailingEmptyEntry) {
  EXPECT_EQ(splitLines("Alpha\r\nbeta\r\n"), (Lines{"Alpha", "beta"}));
  EXPECT_EQ(splitLines("Alpha\r\nbeta"), (Lines{"Alpha", "beta"}));
  EXPECT_EQ(splitLines("Alpha\nbeta\n"), (Lines{"Alpha", "beta"}));
  EXPECT_EQ(splitLines("a\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(splitLines("\r\n"), (Lines{""}));
  EXPECT_EQ(splitLines(""), Lines{});
  // Blanks and a CR inside a line are part of the text.
  EXPECT_EQ(splitLines(" x \r y\r\n"), (Lines{" x \r y"}));
  // A CR ending the content is a line break cut short: the line reads the
  // same before and after an append completes it.
  EXPECT_EQ(splitLines("cut\r"), (Lines{"cut"}));
  EXPECT_EQ(splitLines("a\r\r"), (Lines{"a\r"}));
}

TEST(TextTest, JoinWritesCrLfAfterEveryLine) {
  EXPECT_EQ(joinLinesCrlf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(joinLinesCrlf({}), "");
}

TEST(TextTest, CaseFoldingCoversWindows1252) {
  EXPECT_TRUE(equalsNoCase("\xC4gypten", "\xE4GYPTEN"));  // Ä / ä
  EXPECT_FALSE(equalsNoCase("\xD7", "\xF7"));             // × and ÷ are not letters
  EXPECT_FALSE(equalsNoCase("\xDF", "\xFF"));             // ß and ÿ are no pair
  // Š/š, Œ/œ, Ž/ž, Ÿ/ÿ; the bytes beside them are no letters.
  EXPECT_TRUE(equalsNoCase("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"));
  EXPECT_EQ(upperAnsi("\x9A\x9C\x9E\xFF\xE9"), "\x8A\x8C\x8E\x9F\xC9");
  EXPECT_EQ(lowerAnsi("\x8A\x8C\x8E\x9F\xC9"), "\x9A\x9C\x9E\xFF\xE9");
  EXPECT_EQ(lowerAnsi("\x80\x8B\x8D\x9B\x9D"), "\x80\x8B\x8D\x9B\x9D");
  EXPECT_TRUE(containsNoCase("[\x8Akoda]", "\x9Akoda"));
  EXPECT_FALSE(equalsNoCase("abc", "abcd"));
  EXPECT_EQ(findNoCase("xx[ClAn]yy", "[clan]"), 2u);
  EXPECT_EQ(removeAllNoCase("Rcon:secRCON:ret", "rcon:"), "secret");
  EXPECT_EQ(removeAllNoCase("a.SSLF.sslf", ".sslf"), "a");
}

// The search agrees with trying every position, over an alphabet small
// enough that partial matches and repeats are everywhere.
TEST(TextTest, FindIgnoringCaseAgreesWithTryingEveryPosition) {
  auto naive = [](std::string_view hay, std::string_view needle, std::size_t from) {
    for (std::size_t i = from; i + needle.size() <= hay.size(); ++i)
      if (equalsNoCase(hay.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
  };
  const std::string letters = "aAb\x8A\x9A";
  std::mt19937 rng(11);
  auto word = [&](std::size_t n) {
    std::string w;
    for (std::size_t i = 0; i < n; ++i) w += letters[rng() % letters.size()];
    return w;
  };
  for (int round = 0; round < 2000; ++round) {
    // Short texts are searched position by position, long ones skipping.
    const std::string hay = word(round % 2 ? rng() % 12 : 250 + rng() % 400);
    const std::string needle = word(1 + rng() % 8);
    const std::size_t from = rng() % (hay.size() + 2);
    ASSERT_EQ(findNoCase(hay, needle, from), naive(hay, needle, from)) << hay << " " << needle;
  }
}

TEST(TextTest, ControlBytesShowEscapedAndBlankMeansNothingVisible) {
  EXPECT_EQ(escapeControls(std::string("a\nb\r\0\t\x1F\x7F", 8)),
            "a\\x0Ab\\x0D\\x00\\x09\\x1F\\x7F");
  // Everything else stays as it is, backslashes and high bytes included.
  EXPECT_EQ(escapeControls("^1Bob \\ \xE9\xFF\x80"), "^1Bob \\ \xE9\xFF\x80");
  EXPECT_TRUE(isBlank(""));
  EXPECT_TRUE(isBlank(" \t\r"));
  EXPECT_FALSE(isBlank(" . "));
  EXPECT_FALSE(isBlank("\xA0"));
}

TEST(TextTest, ParseIntTakesOnlyPlainDecimals) {
  long long v = 0;
  EXPECT_TRUE(parseInt("500", v));
  EXPECT_EQ(v, 500);
  EXPECT_TRUE(parseInt("-12", v));
  EXPECT_EQ(v, -12);
  for (const char* bad : {"", "-", " 5", "5 ", "5x", "1e3", "99999999999999999999"})
    EXPECT_FALSE(parseInt(bad, v)) << bad;
}

using DataFileTest = StoreTest;

TEST_F(DataFileTest, ReadsCrLfAndBareLfFiles) {
  put("crlf", "one\r\ntwo\r\n");
  put("lf", "one\ntwo");
  EXPECT_EQ(readLines("crlf"), (Lines{"one", "two"}));
  EXPECT_EQ(readLines("lf"), (Lines{"one", "two"}));
  EXPECT_EQ(readFile("crlf"), "one\r\ntwo\r\n");
}

TEST_F(DataFileTest, BackslashPathsMapIntoSubfolders) {
  makeListFolder();
  put("Serverlists/Standard", "x\r\n");
  EXPECT_EQ(dataPath("Serverlists\\Standard"), "Serverlists/Standard");
  EXPECT_TRUE(fileExists("Serverlists\\Standard"));
  EXPECT_FALSE(fileExists("Serverlists"));  // a folder is not a file
  EXPECT_EQ(readLines("Serverlists\\Standard"), Lines{"x"});
}

TEST_F(DataFileTest, MissingFilesAreErrorsAndAreNotCreated) {
  try {
    readFile("nothere");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.error(), ENOENT);
    EXPECT_FALSE(e.inUse());
    EXPECT_NE(std::string(e.what()).find("nothere"), std::string::npos);
  }
  EXPECT_THROW(appendLines("nothere", {"a"}), FileError);
  EXPECT_THROW(replaceLines("nothere", {"a"}, ReplaceMode::MustExist), FileError);
  EXPECT_THROW(deleteFile("nothere"), FileError);
  EXPECT_FALSE(exists("nothere"));
  replaceLines("nothere", {"a"});  // create or truncate
  EXPECT_EQ(get("nothere"), "a\r\n");
}

TEST_F(DataFileTest, AppendAndReplaceWriteCrLf) {
  put("f", "old\n");
  appendLines("f", {"a", ""});
  EXPECT_EQ(get("f"), "old\na\r\n\r\n");
  replaceLines("f", {"x", "y"}, ReplaceMode::MustExist);
  EXPECT_EQ(get("f"), "x\r\ny\r\n");
  replaceContent("f", "");
  EXPECT_EQ(get("f"), "");
  // A last line without its line break is ended before the new lines.
  put("f", "Alpha\r\nbeta");
  appendLines("f", {"Zed"});
  EXPECT_EQ(get("f"), "Alpha\r\nbeta\r\nZed\r\n");
  EXPECT_EQ(readLines("f"), (Lines{"Alpha", "beta", "Zed"}));
  put("f", "cut\r");
  const Lines before = readLines("f");
  appendLines("f", {"x"});
  EXPECT_EQ(get("f"), "cut\r\nx\r\n");
  EXPECT_EQ(readLines("f"), (Lines{before[0], "x"}));
  put("f", "");
  appendLines("f", {"first"});
  EXPECT_EQ(get("f"), "first\r\n");
  EXPECT_EQ(filesIn("."), Lines{"f"});
}

TEST_F(DataFileTest, WritersFailAsInUseWhileAReaderHoldsTheFile) {
  put("f", "keep\r\n");
  {
    ReadHold hold("f");
    for (auto attempt : {0, 1, 2}) {
      try {
        if (attempt == 0) appendLines("f", {"x"});
        if (attempt == 1) replaceLines("f", {"x"});
        if (attempt == 2) deleteFile("f");
        ADD_FAILURE() << "writer " << attempt << " not refused";
      } catch (const FileError& e) {
        EXPECT_TRUE(e.inUse()) << attempt;
        EXPECT_NE(std::string(e.what()).find("being used by another process"), std::string::npos);
      }
    }
    // Readers share the file.
    EXPECT_EQ(readFile("f"), "keep\r\n");
    EXPECT_EQ(hold.content(), "keep\r\n");
  }
  EXPECT_EQ(get("f"), "keep\r\n");
  EXPECT_EQ(filesIn("."), Lines{"f"});
  appendLines("f", {"x"});  // free again
  EXPECT_EQ(get("f"), "keep\r\nx\r\n");
}

TEST_F(DataFileTest, FailedReplacementKeepsOldContentAndLeavesNoTemporary) {
  put("f", "old content\r\n");
  // A file size limit makes the write of the temporary fail (EFBIG).
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool threw = false;
  try {
    replaceContent("f", std::string(4096, 'x'));
  } catch (const FileError& e) {
    threw = true;
    EXPECT_EQ(e.error(), EFBIG);
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(threw);
  EXPECT_EQ(get("f"), "old content\r\n");
  EXPECT_EQ(filesIn("."), Lines{"f"});
}

TEST_F(DataFileTest, ReplacementIsNeverSeenHalfWritten) {
  const std::string a = joinLinesCrlf(Lines(2000, std::string(40, 'a')));
  const std::string b = joinLinesCrlf(Lines(3000, std::string(40, 'b')));
  put("f", a);
  std::atomic<bool> done{false};
  std::atomic<int> bad{0};
  std::thread reader([&] {
    for (int i = 0; i < 400 && !done; ++i) {
      try {
        std::string seen = readFile("f");
        if (seen != a && seen != b) ++bad;
      } catch (const FileError& e) {
        // A reader may give up while replacements follow each other
        // without pause; it must never see a partial file.
        if (!e.inUse()) ++bad;
      }
    }
  });
  int refused = 0;
  for (int i = 0; i < 100; ++i) {
    try {
      replaceContent("f", i % 2 ? a : b);
    } catch (const FileError& e) {
      if (!e.inUse()) throw;
      ++refused;
    }
  }
  done = true;
  reader.join();
  EXPECT_EQ(bad, 0);
  std::string last = get("f");
  EXPECT_TRUE(last == a || last == b);
  EXPECT_EQ(filesIn("."), Lines{"f"});
  (void)refused;
}

TEST_F(DataFileTest, ALinkedDataFileIsWrittenThroughToItsTarget) {
  std::filesystem::create_directory("elsewhere");
  put("elsewhere/Config", "old\r\n");
  ASSERT_EQ(::symlink("elsewhere/Config", "Config"), 0);
  replaceLines("Config", {"new"});
  appendLines("Config", {"more"});
  EXPECT_TRUE(std::filesystem::is_symlink("Config"));
  EXPECT_EQ(get("elsewhere/Config"), "new\r\nmore\r\n");
  // A link to a missing file creates the file it names.
  ASSERT_EQ(::symlink("elsewhere/bans.txt", "bans.txt"), 0);
  replaceLines("bans.txt", {"x"});
  EXPECT_TRUE(std::filesystem::is_symlink("bans.txt"));
  EXPECT_EQ(get("elsewhere/bans.txt"), "x\r\n");
  EXPECT_EQ(filesIn("elsewhere"), (Lines{"Config", "bans.txt"}));
  EXPECT_EQ(filesIn("."), (Lines{"Config", "bans.txt", "elsewhere"}));
}

TEST_F(DataFileTest, AnAppendedPasswordNarrowsAFileOthersCouldRead) {
  put("Passwords.txt", "// Tarvix 1.11 password list\r\n//\r\n\r\n");
  ::chmod("Passwords.txt", 0644);  // as a copied installation leaves it
  appendLines("Passwords.txt", {"10.0.0.112203", "rcon:secret"}, FileAccess::OwnerOnly);
  struct stat st {};
  ASSERT_EQ(::stat("Passwords.txt", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// Runs `body` in a child process where the data folder takes no new file but
// the files in it stay writable: as another user when run as root, else with
// the folder read-only. Returns the child's exit code.
int inFolderWithoutNewFiles(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0) {
      if (::chmod(".", 0755) != 0) ::_exit(89);  // searchable, still owned by root
      for (const auto& e : std::filesystem::directory_iterator("."))
        if (::chown(e.path().c_str(), 65534, 65534) != 0) ::_exit(90);
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(91);
    } else if (::chmod(".", 0555) != 0) {
      ::_exit(92);
    }
    try {
      ::_exit(body());
    } catch (...) {
      ::_exit(98);
    }
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ::chmod(".", 0755);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST_F(DataFileTest, AFolderWithoutRoomForATemporaryIsNotOverwrittenInPlace) {
  put("Config", "the old and longer content\r\n");
  put("bans.txt", "a\r\n");
  const int rc = inFolderWithoutNewFiles([] {
    // Each write is refused with a reason and a remedy, naming the user's file.
    const std::vector<std::pair<std::string, std::function<void()>>> writes{
        {"Config", [] { replaceContent("Config", "new\r\n"); }},
        {"bans.txt", [] { appendLines("bans.txt", {"b"}); }},
    };
    int failure = 10;
    for (const auto& [file, write] : writes) {
      try {
        write();
        return failure;
      } catch (const WriteRefused& e) {
        const std::string text = e.what();
        if (text.find("\"" + file + "\"") == std::string::npos ||
            text.find("left as it was") == std::string::npos ||
            text.find("Allow writing") == std::string::npos || text.find(".~") != std::string::npos)
          return failure + 1;
      }
      failure += 2;
    }
    try {
      replaceContent("Missing", "x");  // cannot be created at all
      return 2;
    } catch (const FileError& e) {
      const std::string text = e.what();
      if (text.find("\"Missing\"") == std::string::npos || text.find(".~") != std::string::npos)
        return 3;
    }
    return 0;
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(get("Config"), "the old and longer content\r\n");
  EXPECT_EQ(get("bans.txt"), "a\r\n");
  EXPECT_EQ(filesIn("."), (Lines{"Config", "bans.txt"}));
}

// Only a link of this user, root or the data folder's owner is written
// through; another user's link could aim a write at any of this user's files.
TEST_F(DataFileTest, ALinkAnotherUserMadeIsNotWrittenThrough) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
  put("victim", "mine\r\n");
  ASSERT_EQ(::symlink("victim", "tarvix.ini"), 0);
  ASSERT_EQ(::symlink("tarvix.ini", "bans.txt"), 0);  // trusted, to an untrusted one
  ASSERT_EQ(::lchown("tarvix.ini", 65534, 65534), 0);
  for (const char* file : {"tarvix.ini", "bans.txt"}) {
    EXPECT_THROW(replaceContent(file, "x\r\n"), WriteRefused) << file;
    try {
      appendLines(file, {"x"});
      ADD_FAILURE() << file;
    } catch (const WriteRefused& e) {
      EXPECT_NE(std::string(e.what()).find("made by another user (uid 65534)"), std::string::npos)
          << e.what();
    }
  }
  EXPECT_EQ(get("victim"), "mine\r\n");
  // The same link of the folder's owner is followed.
  ASSERT_EQ(::lchown("tarvix.ini", 0, 0), 0);
  replaceContent("bans.txt", "x\r\n");
  EXPECT_EQ(get("victim"), "x\r\n");
}

// Root's link is trusted: run as another user, whose folder it is, the write
// goes through it (only root can make this case, so only a root run checks it).
TEST_F(DataFileTest, RootsLinkIsWrittenThroughForAnotherUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a link for another user";
  std::filesystem::create_directory("theirs");
  put("theirs/bans.txt", "a\r\n");
  ASSERT_EQ(::symlink("theirs/bans.txt", "bans.txt"), 0);
  for (const char* path : {".", "theirs", "theirs/bans.txt"})
    ASSERT_EQ(::chown(path, 65534, 65534), 0) << path;
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(91);
    try {
      appendLines("bans.txt", {"b"});
      ::_exit(0);
    } catch (const WriteRefused&) {
      ::_exit(1);
    } catch (...) {
      ::_exit(2);
    }
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ::chown(".", 0, 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 99, 0);
  EXPECT_EQ(get("theirs/bans.txt"), "a\r\nb\r\n");
}

// tarvix.ini goes through the same rule, reading too: another user's link
// chooses neither what the settings say nor which file they overwrite.
TEST_F(DataFileTest, SettingsAreNeitherReadNorWrittenThroughAnotherUsersLink) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
  put("victim", "[Scan]\nretries=5\n");
  ASSERT_EQ(::symlink("victim", "tarvix.ini"), 0);
  ASSERT_EQ(::lchown("tarvix.ini", 65534, 65534), 0);
  IniSettingsCore settings;
  EXPECT_EQ(settings.scanRetries(), 0);
  EXPECT_NE(settings.problem().find("Cannot read file \"tarvix.ini\""), std::string::npos)
      << settings.problem();
  settings.setScanRetries(2);
  EXPECT_EQ(get("victim"), "[Scan]\nretries=5\n");
  ASSERT_EQ(::lchown("tarvix.ini", 0, 0), 0);
  EXPECT_EQ(settings.scanRetries(), 5);
}

// The last scan's hits are kept as a JSON array of [caption, server] pairs
// in UTF-8, under the ini file's quoting and escapes.
TEST_F(DataFileTest, LastScanHitsAreKeptAsAJsonArrayOfPairs) {
  IniSettingsCore settings;
  const std::vector<HeadlessBuddy> hits{{"a\"b\\c", "1.2.3.4:5"}, {"\xE9t\xE9", "x,y"}};
  settings.setLastScanHits("Serverlists\\A", hits);
  EXPECT_EQ(get("tarvix.ini"),
            "[LastScan]\nServerlists%255CA=\"[[\\\"a\\\\\\\"b\\\\\\\\c\\\",\\\"1.2.3.4:5\\\"],"
            "[\\\"\xC3\xA9t\xC3\xA9\\\",\\\"x,y\\\"]]\"\n");
  const std::vector<HeadlessBuddy> back = settings.lastScanHits("Serverlists\\A");
  ASSERT_EQ(back.size(), hits.size());
  for (std::size_t i = 0; i < hits.size(); ++i) {
    EXPECT_EQ(back[i].caption, hits[i].caption);
    EXPECT_EQ(back[i].server, hits[i].server);
  }
  settings.setLastScanHits("Serverlists\\A", {});
  EXPECT_TRUE(settings.lastScanHits("Serverlists\\A").empty());

  // What another hand wrote: an element that is no pair is an empty pair, a
  // member that is no text an empty text; anything but such an array, none.
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  const std::vector<std::pair<std::string, Pairs>> stored{
      {R"([["a"],5,{"x":"y"},["b",7,"c"],[["n"],"s"],[]])",
       {{"a", ""}, {"", ""}, {"", ""}, {"b", ""}, {"", "s"}, {"", ""}}},
      {R"([["a","b"])", {}},
      {R"({"a":["b","c"]})", {}},
      {R"("text")", {}},
  };
  for (const auto& [json, want] : stored) {
    std::string value;
    for (char c : json) value += c == '"' ? std::string("\\\"") : std::string(1, c);
    put("tarvix.ini", "[LastScan]\nServerlists%255CA=\"" + value + "\"\n");
    Pairs got;
    for (const HeadlessBuddy& b : IniSettingsCore().lastScanHits("Serverlists\\A"))
      got.emplace_back(b.caption, b.server);
    EXPECT_EQ(got, want) << json;
  }
}

TEST_F(DataFileTest, AReplacementKeepsTheExactModeUnderAnyUmask) {
  const mode_t saved = ::umask(0);
  for (const mode_t mask : {0000, 0022, 0077, 0777})
    for (const mode_t mode : {0600, 0604, 0640, 0666, 0755}) {
      ::umask(0);
      put("f", "old\r\n");
      ASSERT_EQ(::chmod("f", mode), 0);
      ::umask(mask);
      replaceContent("f", "new\r\n");
      appendLines("f", {"more"});
      struct stat st {};
      ASSERT_EQ(::stat("f", &st), 0);
      EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << "mode " << mode << " umask " << mask;
    }
  ::umask(saved);
}

TEST_F(DataFileTest, AFileNameOfAFullFolderEntryCanBeReplaced) {
  for (const std::size_t length : {std::size_t{230}, std::size_t{255}}) {
    const std::string name(length, 'n');
    put(name, "old\r\n");
    replaceContent(name, "new\r\n");
    EXPECT_EQ(get(name), "new\r\n");
    std::filesystem::remove(name);
  }
  EXPECT_EQ(filesIn("."), Lines{});
}

}  // namespace
