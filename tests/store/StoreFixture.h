#pragma once
// Each test runs in a fresh temporary data folder made the current directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/TempDataDir.h"

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { data_ = std::make_unique<tarvix::test::TempDataDir>(); }
  void TearDown() override { data_.reset(); }

  void put(const std::string& path, const std::string& bytes) const { data_->write(path, bytes); }
  std::string get(const std::string& path) const { return data_->read(path); }
  bool exists(const std::string& path) const { return data_->exists(path); }
  static void makeListFolder() { std::filesystem::create_directory("Serverlists"); }
  // Names of the files in a folder, to check that no temporary is left.
  static std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  const std::string& dir() const { return data_->path(); }

 private:
  std::unique_ptr<tarvix::test::TempDataDir> data_;
};
