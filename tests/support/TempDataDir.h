#pragma once
// A fresh temporary data folder made the current directory for the lifetime
// of the object; the previous directory is restored and the folder removed.
#include <string>
#include <string_view>
#include <vector>

namespace tarvix::test {

class TempDataDir {
 public:
  TempDataDir();
  ~TempDataDir();
  TempDataDir(const TempDataDir&) = delete;
  TempDataDir& operator=(const TempDataDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes raw bytes to a file relative to the folder (parents created).
  void write(std::string_view relative, std::string_view bytes) const;
  // Writes lines each ended by CR LF.
  void writeLines(std::string_view relative, const std::vector<std::string>& lines) const;
  std::string read(std::string_view relative) const;
  bool exists(std::string_view relative) const;
  // The installation's files: Config, Serverlists/Standard (given servers),
  // Passwords.txt header and empty name lists.
  void writeInstallation(const std::vector<std::string>& standardList = {}) const;
  // Passwords.txt: its three header lines, then the given records.
  void writePasswords(const std::vector<std::string>& records) const;

 private:
  std::string path_;
  std::string previous_;
};

// Lines joined with CR LF after each.
std::string crlf(const std::vector<std::string>& lines);

}  // namespace tarvix::test
