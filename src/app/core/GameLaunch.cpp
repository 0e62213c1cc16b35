#include "app/core/GameLaunch.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>

namespace tarvix {

std::string gameCommandLine(std::string_view ip, std::string_view port, std::string_view name,
                            std::string_view password) {
  std::string s = "connect ";
  s += ip;
  s += ':';
  s += port;
  s += " +name \"";
  s += name;
  s += "\" +password \"";
  s += password;
  s += '"';
  s += " +set cl_playintro 0 +set ui_skip_eamovie 1 +set ui_skip_titlescreen 1"
       " +set ui_skip_legalscreen 1";
  return s;
}

std::vector<std::string> splitWindowsCommandLine(std::string_view s) {
  std::vector<std::string> args;
  const std::size_t n = s.size();
  std::size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (true) {
    while (i < n && blank(s[i])) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      const char c = s[i];
      if (!quoted && blank(c)) break;
      if (c == '\\') {
        std::size_t j = i;
        while (j < n && s[j] == '\\') ++j;
        const std::size_t count = j - i;
        if (j < n && s[j] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2 == 1) {
            arg += '"';
            i = j + 1;
          } else {
            i = j;
          }
        } else {
          arg.append(count, '\\');
          i = j;
        }
      } else if (c == '"') {
        if (quoted && i + 1 < n && s[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += c;
        ++i;
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

bool isNativeExecutable(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::access(path.c_str(), X_OK) != 0) return false;
  std::ifstream in(path, std::ios::binary);
  char head[4] = {};
  in.read(head, 4);
  const std::streamsize got = in.gcount();
  if (got >= 2 && head[0] == '#' && head[1] == '!') return true;
  return got == 4 && head[0] == '\x7f' && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string findInPath(std::string_view name, std::string_view pathVariable) {
  std::size_t start = 0;
  while (start <= pathVariable.size()) {
    std::size_t end = pathVariable.find(':', start);
    if (end == std::string_view::npos) end = pathVariable.size();
    std::string folder(pathVariable.substr(start, end - start));
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + std::string(name);
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return {};
}

std::optional<GameStart> planGameStart(const std::string& exePath, std::string_view params,
                                       const std::string& winePath) {
  GameStart start;
  start.workingFolder = folderOf(exePath);
  std::vector<std::string> args = splitWindowsCommandLine(params);
  if (isNativeExecutable(exePath)) {
    start.program = exePath;
    start.arguments = std::move(args);
    return start;
  }
  if (winePath.empty()) return std::nullopt;
  start.program = winePath;
  start.arguments.push_back(exePath);
  start.arguments.insert(start.arguments.end(), args.begin(), args.end());
  return start;
}

namespace {

// True when /proc shows the process as a zombie (ended, not yet reaped).
bool isZombie(long long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string content((std::istreambuf_iterator<char>(in)), {});
  const std::size_t paren = content.rfind(')');
  return paren != std::string::npos && paren + 2 < content.size() && content[paren + 2] == 'Z';
}

}  // namespace

ProcessWatch::ProcessWatch(long long pid) : pid_(pid) {
#ifdef SYS_pidfd_open
  if (pid > 0) fd_ = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
#endif
}

ProcessWatch::~ProcessWatch() {
  if (fd_ >= 0) ::close(fd_);
}

bool ProcessWatch::ended() const {
  if (pid_ <= 0) return true;
  if (fd_ >= 0) {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
  }
  if (::kill(static_cast<pid_t>(pid_), 0) != 0 && errno == ESRCH) return true;
  return isZombie(pid_);
}

}  // namespace tarvix
