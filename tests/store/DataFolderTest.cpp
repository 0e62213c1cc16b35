// Which folder becomes the data folder, and the first start that makes one
// from the installed template.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "TempDataDir.h"
#include "store/DataFolder.h"

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

  places.templates = {root / "share/tarvix/data"};
  dir.write("plain", "x");
  places.chosen = root / "plain";
  DataFolderChoice file = chooseDataFolder(places);
  EXPECT_TRUE(file.folder.empty());
  EXPECT_NE(file.error.find("not a folder"), std::string::npos);
}

}  // namespace
}  // namespace tarvix
