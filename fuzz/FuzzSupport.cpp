#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarvix::fuzz {

namespace {
std::string privateFolder;

void removePrivateFolder() {
  if (privateFolder.empty()) return;
  std::error_code ec;
  std::filesystem::current_path("/", ec);
  std::filesystem::remove_all(privateFolder, ec);
}
}  // namespace

void fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
  std::abort();
}

std::vector<std::string_view> splitAt(std::string_view text, char sep) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (true) {
    std::size_t at = text.find(sep, start);
    if (at == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

void enterPrivateDataFolder() {
  if (!privateFolder.empty()) return;
  // tmpfs keeps the writers' fsync cheap.
  std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "";
  if (base.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    base = tmp && *tmp ? tmp : "/tmp";
  }
  std::string templ = base + "/tarvix-fuzz-XXXXXX";
  if (!::mkdtemp(templ.data()) || ::chdir(templ.c_str()) != 0) {
    std::perror("private data folder");
    std::abort();
  }
  privateFolder = templ;
  std::filesystem::create_directory("Serverlists");
  std::atexit(removePrivateFolder);
}

void putFile(const std::string& path, std::string_view content) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) fail(("cannot write " + path).c_str(), __FILE__, __LINE__);
}

std::string getFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> filesStartingWith(const std::string& folder, std::string_view prefix) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    std::string name = e.path().filename().string();
    if (name.starts_with(prefix)) found.push_back(name);
  }
  return found;
}

}  // namespace tarvix::fuzz
