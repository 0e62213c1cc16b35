#include "support/TempDataDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/Text.h"

namespace fs = std::filesystem;

namespace tarvix::test {

std::string crlf(const std::vector<std::string>& lines) { return joinLinesCrlf(lines); }

TempDataDir::TempDataDir() {
  previous_ = fs::current_path().string();
  std::string tmpl = (fs::temp_directory_path() / "tarvix-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
  fs::current_path(path_);
}

TempDataDir::~TempDataDir() {
  std::error_code ec;
  fs::current_path(previous_, ec);
  fs::remove_all(path_, ec);
}

void TempDataDir::write(std::string_view relative, std::string_view bytes) const {
  fs::path p = fs::path(path_) / std::string(relative);
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempDataDir::writeLines(std::string_view relative,
                             const std::vector<std::string>& lines) const {
  write(relative, crlf(lines));
}

std::string TempDataDir::read(std::string_view relative) const {
  std::ifstream in(fs::path(path_) / std::string(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempDataDir::exists(std::string_view relative) const {
  return fs::exists(fs::path(path_) / std::string(relative));
}

void TempDataDir::writeInstallation(const std::vector<std::string>& standardList) const {
  writeLines("Config", {"timer off", "Serverlists\\Standard", "clantags off", "Player", "", "", "",
                        "500", "fast", "false", "0", "//Quellis Config - Dont change this file !"});
  writeLines("Serverlists/Standard", standardList);
  writePasswords({});
  write("default", "");
  for (const char* f :
       {"Buddys.txt", "clantags.txt", "bans.txt", "skins.txt", "maps.txt", "messages.txt"})
    write(f, "");
}

void TempDataDir::writePasswords(const std::vector<std::string>& records) const {
  std::vector<std::string> lines = {"// Tarvix 1.11 password list", "//", ""};
  lines.insert(lines.end(), records.begin(), records.end());
  writeLines("Passwords.txt", lines);
}

}  // namespace tarvix::test
