#include "store/FileChanges.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tarvix {

namespace {

constexpr std::uint32_t kFileEvents =
    IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE | IN_DELETE;
// The folder itself moved or went: its notices no longer speak of the path.
constexpr std::uint32_t kLostEvents =
    IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

}  // namespace

FileChanges::~FileChanges() { close(); }

void FileChanges::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  sound_ = false;
}

void FileChanges::watch(const std::string& path) {
  if (sound_ && path == path_) {
    changed();  // what came before the read is not a change after it
    sound_ = fd_ >= 0;
    if (sound_) return;
  }
  close();
  path_ = path;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  name_ = slash == std::string::npos ? path : path.substr(slash + 1);
  // A link's target, or a file of several names, changes without a notice
  // in this folder when written through another name.
  struct stat st {};
  if (name_.empty() ||
      (::lstat(path.c_str(), &st) == 0 && (S_ISLNK(st.st_mode) || st.st_nlink > 1)))
    return;
  fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return;
  if (::inotify_add_watch(fd_, folder.c_str(), kFileEvents | IN_ONLYDIR) < 0) {
    close();
    return;
  }
  sound_ = true;
}

bool FileChanges::changed() {
  if (!sound_) return true;
  bool hit = false;
  alignas(inotify_event) char buf[4096];
  while (true) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0 && errno != EAGAIN) sound_ = false;
      break;
    }
    for (ssize_t at = 0; at < n;) {
      inotify_event event;
      std::memcpy(&event, buf + at, sizeof event);
      if (event.mask & kLostEvents) sound_ = false;
      const char* name = buf + at + sizeof event;
      if (event.len > 0 && std::string_view(name, ::strnlen(name, event.len)) == name_) hit = true;
      at += static_cast<ssize_t>(sizeof event + event.len);
    }
  }
  return hit || !sound_;
}

}  // namespace tarvix
