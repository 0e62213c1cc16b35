#pragma once
// Each test runs in a fresh temporary folder made the current directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    oldDir_ = cwd;
    std::string tmpl = (std::filesystem::temp_directory_path() / "tarvix-store-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    if (!oldDir_.empty()) (void)::chdir(oldDir_.c_str());
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  static void put(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
  }
  static std::string get(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  static bool exists(const std::string& path) { return std::filesystem::exists(path); }
  static void makeListFolder() { std::filesystem::create_directory("Serverlists"); }
  // Names of the files in a folder, to check that no temporary is left.
  static std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  const std::string& dir() const { return dir_; }

 private:
  std::string oldDir_;
  std::string dir_;
};
