#pragma once
// Starting the game: its command line, the Windows rules that split it into
// arguments, and how the executable is started on this system.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// "connect <ip>:<port> +name "<name>" +password "<password>"" and the fixed
// tail that skips the intro screens. Nothing is escaped: a double quote in
// the name or password goes through as it is.
std::string gameCommandLine(std::string_view ip, std::string_view port, std::string_view name,
                            std::string_view password);

// Splits a parameter string as a Windows program's runtime does: blanks and
// tabs separate arguments outside double quotes; "" inside quotes is a
// literal quote; 2n backslashes before a quote give n backslashes and the
// quote delimits, 2n+1 give n backslashes and a literal quote; other
// backslashes are literal. An empty quoted text is an empty argument.
std::vector<std::string> splitWindowsCommandLine(std::string_view params);

// A regular file with run permission that begins with the ELF magic or "#!".
bool isNativeExecutable(const std::string& path);

// The folder part of a path ("." for a bare file name).
std::string folderOf(const std::string& path);

// First executable file called `name` in the folders of `pathVariable`
// (a PATH value); empty when there is none.
std::string findInPath(std::string_view name, std::string_view pathVariable);

struct GameStart {
  std::string program;
  std::vector<std::string> arguments;
  std::string workingFolder;
};

// How to start `exePath` with `params`: directly when it is native,
// otherwise through `winePath` with the executable as first argument.
// std::nullopt when it is not native and there is no wine.
std::optional<GameStart> planGameStart(const std::string& exePath, std::string_view params,
                                       const std::string& winePath);

// Watches a process that is not necessarily a child of this one (a
// detached game) for its end.
class ProcessWatch {
 public:
  explicit ProcessWatch(long long pid);
  ~ProcessWatch();
  ProcessWatch(const ProcessWatch&) = delete;
  ProcessWatch& operator=(const ProcessWatch&) = delete;
  bool ended() const;

 private:
  long long pid_;
  int fd_ = -1;
};

}  // namespace tarvix
