// Which folder becomes the data folder, and the first start that makes one
// from the installed template.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "store/DataFolder.h"
#include "support/TempDataDir.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;
using test::TempDataDir;

class DataFolderTest : public ::testing::Test {
 protected:
  DataFolderTest() {
    root = dir.path();
    dir.writeLines("share/tarvix/data/Config", {"timer off", "Serverlists\\Standard"});
    dir.write("share/tarvix/data/Serverlists/Standard", "");
    dir.writeLines("share/tarvix/data/Passwords.txt", {"// Tarvix 1.11 password list"});
    fs::create_directories(root / "work");
    places.current = root / "work";
    places.perUser = root / "home/.local/share/tarvix";
    places.templates = {root / "missing/tarvix/data", root / "share/tarvix/data"};
  }

  // Everything in `folder`, as relative paths.
  static std::vector<std::string> listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(folder))
      names.push_back(fs::relative(e.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDataDir dir;
  fs::path root;
  DataFolderPlaces places;
};

TEST_F(DataFolderTest, CurrentFolderWinsWhenItHoldsConfigOrServerlists) {
  fs::create_directories(root / "work/Serverlists");
  EXPECT_EQ(chooseDataFolder(places).folder, places.current);
  // A file named Serverlists is no data folder.
  fs::remove(root / "work/Serverlists");
  dir.write("work/Serverlists", "");
  EXPECT_EQ(chooseDataFolder(places).folder, places.perUser);
}

TEST_F(DataFolderTest, PerUserFolderIsMadeFromTheTemplateOnceAndKept) {
  DataFolderChoice first = chooseDataFolder(places);
  ASSERT_EQ(first.error, "");
  EXPECT_EQ(first.folder, places.perUser);
  EXPECT_TRUE(first.madeFromTemplate);
  EXPECT_EQ(listing(places.perUser), listing(root / "share/tarvix/data"));
  EXPECT_EQ(dir.read("home/.local/share/tarvix/Passwords.txt"), "// Tarvix 1.11 password list\r\n");
  // The folder holds passwords: only its owner may enter it.
  struct stat st {};
  ASSERT_EQ(::stat(places.perUser.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // Nothing is left beside it from the build.
  EXPECT_EQ(std::distance(fs::directory_iterator(root / "home/.local/share"), {}), 1);

  // The user's own data is never overwritten by a later start.
  dir.write("home/.local/share/tarvix/Config", "mine");
  DataFolderChoice again = chooseDataFolder(places);
  EXPECT_EQ(again.folder, places.perUser);
  EXPECT_FALSE(again.madeFromTemplate);
  EXPECT_EQ(dir.read("home/.local/share/tarvix/Config"), "mine");
}

TEST_F(DataFolderTest, ChosenFolderOverridesAndIsFilledWithoutOverwriting) {
  dir.write("work/Config", "");
  places.chosen = fs::path("../elsewhere");  // relative to the current folder
  DataFolderChoice made = chooseDataFolder(places);
  ASSERT_EQ(made.error, "");
  EXPECT_EQ(fs::weakly_canonical(made.folder), root / "elsewhere");
  EXPECT_TRUE(made.madeFromTemplate);
  EXPECT_TRUE(fs::exists(root / "elsewhere/Serverlists/Standard"));

  // An existing folder that is no data folder yet keeps its own files.
  dir.write("mine/Passwords.txt", "kept");
  places.chosen = root / "mine";
  DataFolderChoice filled = chooseDataFolder(places);
  ASSERT_EQ(filled.error, "");
  EXPECT_EQ(filled.folder, root / "mine");
  EXPECT_EQ(dir.read("mine/Passwords.txt"), "kept");
  EXPECT_TRUE(fs::exists(root / "mine/Config"));
  EXPECT_FALSE(fs::exists(places.perUser));
}

TEST_F(DataFolderTest, NoTemplateOrAFileInTheWayIsAnError) {
  places.templates = {root / "missing/tarvix/data"};
  DataFolderChoice none = chooseDataFolder(places);
  EXPECT_TRUE(none.folder.empty());
  EXPECT_NE(none.error.find("missing/tarvix/data"), std::string::npos) << none.error;
  // It names the folder it started in and what a data folder holds.
  EXPECT_EQ(none.error.rfind(places.current.string() + " is not a data folder", 0), 0u)
      << none.error;
  EXPECT_NE(none.error.find("holds Config, Serverlists\\Standard"), std::string::npos)
      << none.error;
  EXPECT_FALSE(fs::exists(places.perUser));
  // With --data given, it says what the folder lacks instead of asking for --data.
  places.chosen = root / "empty";
  const std::string chosen = chooseDataFolder(places).error;
  EXPECT_NE(chosen.find("put at least Config or Serverlists\\Standard in"), std::string::npos);
  EXPECT_EQ(chosen.find("--data DIR"), std::string::npos) << chosen;

  places.templates = {root / "share/tarvix/data"};
  dir.write("plain", "x");
  places.chosen = root / "plain";
  DataFolderChoice file = chooseDataFolder(places);
  EXPECT_TRUE(file.folder.empty());
  EXPECT_NE(file.error.find("not a folder"), std::string::npos);
}

// A folder of root's, which nobody else may write, is trusted by every user.
TEST_F(DataFolderTest, RootsFolderIsTrustedByAnotherUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  dir.write("work/Config", "");
  for (const fs::path& p : {root, root / "work"}) fs::permissions(p, fs::perms(0755));
  places.chosen = root / "work";
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(91);
    const DataFolderChoice choice = chooseDataFolder(places);
    ::_exit(choice.error.empty() && choice.folder == root / "work" ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 99, 0);
}

TEST_F(DataFolderTest, AFolderOthersCouldHavePreparedIsRefused) {
  const bool asRoot = ::geteuid() == 0;
  dir.write("work/Config", "");
  dir.write("mine/Config", "");
  struct Case {
    const char* what;
    std::function<void()> prepare;  // on work/, the current folder
    const char* reason;             // "" when the folder is used
  };
  const std::vector<Case> cases{
      {"own, closed", [&] { fs::permissions(root / "work", fs::perms(0755)); }, ""},
      // root's group holds root alone
      {"own group may write", [&] { fs::permissions(root / "work", fs::perms(0775)); }, ""},
      {"another group may write",
       [&] {
         fs::permissions(root / "work", fs::perms(0775));
         ASSERT_EQ(::chown((root / "work").c_str(), -1, 65534), 0);
       },
       "others can"},
      {"all may write", [&] { fs::permissions(root / "work", fs::perms(0757)); }, "others can"},
      {"sticky, all may write", [&] { ::chmod((root / "work").c_str(), 01777); },
       "others can write in it (mode 1777)"},
      {"another user's",
       [&] {
         ::chmod((root / "work").c_str(), 0755);
         ASSERT_EQ(::chown((root / "work").c_str(), 65534, 65534), 0);
       },
       "belongs to another user (uid 65534)"},
  };
  for (const Case& c : cases) {
    // Other owners and groups need root; whether the user's group is private depends on the system.
    if (!asRoot && std::string(c.what).find("group") != std::string::npos) continue;
    if (!asRoot && c.what == std::string("another user's")) continue;
    c.prepare();
    for (const bool chosen : {false, true}) {
      places.chosen = chosen ? std::optional<fs::path>(root / "work") : std::nullopt;
      const DataFolderChoice choice = chooseDataFolder(places);
      if (*c.reason == 0) {
        EXPECT_EQ(choice.error, "") << c.what;
        EXPECT_EQ(choice.folder, root / "work") << c.what;
        continue;
      }
      EXPECT_TRUE(choice.folder.empty()) << c.what;
      EXPECT_NE(choice.error.find(c.reason), std::string::npos) << c.what << ": " << choice.error;
      EXPECT_NE(choice.error.find("--data DIR"), std::string::npos) << choice.error;
    }
  }
  // A trusted folder chosen instead is used.
  places.chosen = root / "mine";
  EXPECT_EQ(chooseDataFolder(places).folder, root / "mine");
  ::chown((root / "work").c_str(), 0, 0);
}

TEST_F(DataFolderTest, AFirstStartSweepsKilledOnesAndMakesPasswordFilesPrivate) {
  dir.write("share/tarvix/data/default", "");
  ::chmod((root / "share/tarvix/data/Passwords.txt").c_str(), 0644);
  ::chmod((root / "share/tarvix/data/default").c_str(), 0644);
  // Left by first starts killed while copying, and one still running.
  const fs::path share = root / "home/.local/share";
  const fs::path running = share / (".tarvix-new-" + std::to_string(::getpid()) + "-aaaaaa");
  for (const fs::path& p : {share / ".tarvix-new-999999999-Ab12Cd", share / ".tarvix.new-x1Y2z3",
                            running, share / ".other.new-x1Y2z3"})
    fs::create_directories(p / "Serverlists");
  ASSERT_EQ(chooseDataFolder(places).error, "");
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(share)) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".other.new-x1Y2z3", running.filename(), "tarvix"}));

  for (const char* file : {"Passwords.txt", "default"}) {
    struct stat st {};
    ASSERT_EQ(::stat((places.perUser / file).c_str(), &st), 0) << file;
    EXPECT_EQ(st.st_mode & 0777, 0600u) << file;
  }
  // Also when an existing folder is filled.
  fs::create_directories(root / "empty");
  places.chosen = root / "empty";
  ASSERT_EQ(chooseDataFolder(places).error, "");
  struct stat st {};
  ASSERT_EQ(::stat((root / "empty/Passwords.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(DataFolderTest, EnteringTheFolderSweepsKilledWritersTemporariesBesideLinkedTargets) {
  dir.write("work/Config", "");
  dir.write("work/Config.~999999999-1", "");
  dir.write("elsewhere/bans.txt", "");
  dir.write("elsewhere/bans.txt.~999999999-2", "");
  dir.write("elsewhere/list.~999999999-3", "");
  fs::create_directories(root / "work/Serverlists");
  fs::create_symlink(root / "elsewhere/bans.txt", root / "work/bans.txt");
  fs::create_symlink(root / "elsewhere/list", root / "work/Serverlists/Linked");
  std::string error;
  ASSERT_TRUE(enterDataFolder(root / "work", error)) << error;
  EXPECT_FALSE(fs::exists(root / "work/Config.~999999999-1"));
  EXPECT_FALSE(fs::exists(root / "elsewhere/bans.txt.~999999999-2"));
  EXPECT_FALSE(fs::exists(root / "elsewhere/list.~999999999-3"));
  EXPECT_TRUE(fs::exists(root / "elsewhere/bans.txt"));
}

TEST_F(DataFolderTest, FolderNamesUpToTheLongestWork) {
  for (const std::size_t length : {std::size_t{245}, std::size_t{255}}) {
    places.chosen = root / std::string(length, 'd');
    const DataFolderChoice made = chooseDataFolder(places);
    EXPECT_EQ(made.error, "") << length;
    EXPECT_TRUE(fs::exists(*places.chosen / "Serverlists/Standard")) << length;
  }
}

TEST_F(DataFolderTest, AnEmptyTemplateIsSkippedForTheNextOne) {
  fs::create_directories(root / "empty/tarvix/data");
  places.templates = {root / "empty/tarvix/data", root / "share/tarvix/data"};
  const DataFolderChoice made = chooseDataFolder(places);
  ASSERT_EQ(made.error, "");
  EXPECT_EQ(listing(places.perUser), listing(root / "share/tarvix/data"));
}

TEST(DataFolderPlacesTest, ARelativeDataHomeIsIgnored) {
  const char* savedHome = std::getenv("HOME");
  const char* savedData = std::getenv("XDG_DATA_HOME");
  const std::string home = savedHome ? savedHome : "", data = savedData ? savedData : "";
  ::setenv("HOME", "/home/someone", 1);
  ::setenv("XDG_DATA_HOME", "relative/data", 1);
  EXPECT_EQ(systemDataFolderPlaces(std::nullopt).perUser,
            fs::path("/home/someone/.local/share/tarvix"));
  ::setenv("XDG_DATA_HOME", "/absolute/data", 1);
  EXPECT_EQ(systemDataFolderPlaces(std::nullopt).perUser, fs::path("/absolute/data/tarvix"));
  if (savedHome) ::setenv("HOME", home.c_str(), 1);
  if (savedData)
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tarvix
