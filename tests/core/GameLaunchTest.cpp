// The game's command line, its split into arguments by the Windows rules,
// and how the executable is started.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/core/GameLaunch.h"
#include "support/TempDataDir.h"

using namespace tarvix;
using Args = std::vector<std::string>;

namespace {

const char* kTail =
    " +set cl_playintro 0 +set ui_skip_eamovie 1 +set ui_skip_titlescreen 1"
    " +set ui_skip_legalscreen 1";

}  // namespace

TEST(GameCommandLine, ByteForByteWithEmptyPassword) {
  EXPECT_EQ(gameCommandLine("10.0.0.1", "12203", "Player", ""),
            std::string("connect 10.0.0.1:12203 +name \"Player\" +password \"\"") + kTail);
}

TEST(GameCommandLine, QuotesBlanksAndBytesPassUnchanged) {
  const std::string name = "A\"b c\\";
  const std::string pw = "p\"w d\xE9";
  EXPECT_EQ(gameCommandLine("1.2.3.4", "80", name, pw),
            "connect 1.2.3.4:80 +name \"" + name + "\" +password \"" + pw + "\"" + kTail);
}

TEST(SplitWindowsCommandLine, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(splitWindowsCommandLine(""), Args{});
  EXPECT_EQ(splitWindowsCommandLine("  \t "), Args{});
  EXPECT_EQ(splitWindowsCommandLine(" a  b\tc "), (Args{"a", "b", "c"}));
  EXPECT_EQ(splitWindowsCommandLine("\"a b\" c"), (Args{"a b", "c"}));
  EXPECT_EQ(splitWindowsCommandLine("x\"y z\"w"), (Args{"xy zw"}));
  // An empty quoted text is an argument of its own, also at the end.
  EXPECT_EQ(splitWindowsCommandLine("a \"\" b"), (Args{"a", "", "b"}));
  EXPECT_EQ(splitWindowsCommandLine("a \"\""), (Args{"a", ""}));
  // An unclosed quote runs to the end.
  EXPECT_EQ(splitWindowsCommandLine("\"a b"), (Args{"a b"}));
}

TEST(SplitWindowsCommandLine, BackslashesAndDoubledQuotes) {
  EXPECT_EQ(splitWindowsCommandLine(R"(a\b c\\d)"), (Args{R"(a\b)", R"(c\\d)"}));
  EXPECT_EQ(splitWindowsCommandLine(R"(a\"b)"), (Args{R"(a"b)"}));
  EXPECT_EQ(splitWindowsCommandLine(R"(a\\"b c")"), (Args{R"(a\b c)"}));
  EXPECT_EQ(splitWindowsCommandLine(R"(a\\\"b)"), (Args{R"(a\"b)"}));
  EXPECT_EQ(splitWindowsCommandLine(R"("C:\Games\" x)"), (Args{R"(C:\Games" x)"}));
  EXPECT_EQ(splitWindowsCommandLine(R"("a""b" c)"), (Args{R"(a"b)", "c"}));
  EXPECT_EQ(splitWindowsCommandLine("\"\"\"\""), (Args{"\""}));
}

TEST(SplitWindowsCommandLine, TheGameCommandLine) {
  EXPECT_EQ(splitWindowsCommandLine(gameCommandLine("10.0.0.1", "12203", "Player", "")),
            (Args{"connect", "10.0.0.1:12203", "+name", "Player", "+password", "", "+set",
                  "cl_playintro", "0", "+set", "ui_skip_eamovie", "1", "+set",
                  "ui_skip_titlescreen", "1", "+set", "ui_skip_legalscreen", "1"}));
  // A name with a blank stays one argument; shell characters are plain text.
  Args args = splitWindowsCommandLine(gameCommandLine("h", "1", "Big $(Boss);`x`", "a'b"));
  ASSERT_GE(args.size(), 6u);
  EXPECT_EQ(args[3], "Big $(Boss);`x`");
  EXPECT_EQ(args[5], "a'b");
}

class GameStartTest : public ::testing::Test {
 protected:
  std::string file(const std::string& name, const std::string& content, mode_t mode) {
    const std::string path = dir.path() + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    ::chmod(path.c_str(), mode);
    return path;
  }
  tarvix::test::TempDataDir dir;
};

TEST_F(GameStartTest, NativeMeansElfOrScriptWithRunPermission) {
  EXPECT_TRUE(isNativeExecutable(file("script", "#!/bin/sh\n", 0755)));
  EXPECT_TRUE(isNativeExecutable(file("elf",
                                      std::string("\x7f"
                                                  "ELF\x02\x01",
                                                  6),
                                      0755)));
  EXPECT_FALSE(isNativeExecutable(file("noexec", "#!/bin/sh\n", 0644)));
  EXPECT_FALSE(isNativeExecutable(file("pe.exe", "MZ\x90\x00", 0755)));
  EXPECT_FALSE(isNativeExecutable(file("short", "#", 0755)));
  EXPECT_FALSE(isNativeExecutable(dir.path() + "/missing"));
  EXPECT_FALSE(isNativeExecutable(dir.path()));
}

TEST_F(GameStartTest, PlanStartsNativeDirectlyOthersThroughWine) {
  const std::string native = file("MOHAA.exe", "#!/bin/sh\n", 0755);
  auto plan = planGameStart(native, "connect \"a b\"", "/usr/bin/wine");
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->program, native);
  EXPECT_EQ(plan->arguments, (Args{"connect", "a b"}));
  EXPECT_EQ(plan->workingFolder, dir.path());

  const std::string windows = file("moh_spearhead.exe", "MZ", 0644);
  plan = planGameStart(windows, "connect x", "/opt/wine/bin/wine");
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->program, "/opt/wine/bin/wine");
  EXPECT_EQ(plan->arguments, (Args{windows, "connect", "x"}));
  EXPECT_EQ(plan->workingFolder, dir.path());

  EXPECT_FALSE(planGameStart(windows, "connect x", ""));
}

TEST_F(GameStartTest, FindInPathTakesTheFirstExecutable) {
  std::filesystem::create_directories(dir.path() + "/a");
  std::filesystem::create_directories(dir.path() + "/b");
  file("a/wine", "not executable", 0644);
  const std::string second = file("b/wine", "#!/bin/sh\n", 0755);
  EXPECT_EQ(findInPath("wine", dir.path() + "/a:" + dir.path() + "/b"), second);
  EXPECT_EQ(findInPath("wine", dir.path() + "/a"), "");
  EXPECT_EQ(findInPath("wine", ""), "");
  EXPECT_EQ(folderOf("/x/y/z.exe"), "/x/y");
  EXPECT_EQ(folderOf("/z.exe"), "/");
  EXPECT_EQ(folderOf("z.exe"), ".");
}

TEST(ProcessWatch, SeesTheEndOfAProcess) {
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::usleep(200 * 1000);
    ::_exit(0);
  }
  ProcessWatch watch(pid);
  EXPECT_FALSE(watch.ended());
  bool ended = false;
  for (int i = 0; i < 500 && !ended; ++i) {  // at most 5 s
    ::usleep(10 * 1000);
    ended = watch.ended();
  }
  EXPECT_TRUE(ended);
  int status = 0;
  ::waitpid(pid, &status, 0);
}
