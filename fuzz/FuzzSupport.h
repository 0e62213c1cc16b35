#pragma once
// Shared pieces of the fuzz targets: property checks that stop the run (so
// libFuzzer keeps the input), and a private data folder for the targets that
// read and write files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix::fuzz {

[[noreturn]] void fail(const char* what, const char* file, int line);

// The input bytes as text.
inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// `value` occurs in `whole` as it is.
inline bool isPiece(std::string_view value, std::string_view whole) {
  return whole.find(value) != std::string_view::npos;
}
inline bool hasLineFeed(std::string_view s) { return s.find('\n') != std::string_view::npos; }

// The pieces of `text` between single `sep` characters (empty pieces kept).
std::vector<std::string_view> splitAt(std::string_view text, char sep);

// Makes a fresh folder under /dev/shm (or TMPDIR) the current directory for
// the rest of the run (with an empty Serverlists folder) and removes it at
// exit. Call once, from
// LLVMFuzzerInitialize.
void enterPrivateDataFolder();
// Writes bytes to a file of the current folder directly, without the code
// under test (parent folders created).
void putFile(const std::string& path, std::string_view content);
std::string getFile(const std::string& path);
// Names of the files in a folder of the current folder that start with
// `prefix`; used to find temporary files a writer left behind.
std::vector<std::string> filesStartingWith(const std::string& folder, std::string_view prefix);

}  // namespace tarvix::fuzz

#define FUZZ_CHECK(cond) ((cond) ? void(0) : ::tarvix::fuzz::fail(#cond, __FILE__, __LINE__))
