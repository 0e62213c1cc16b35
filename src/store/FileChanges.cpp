#include "store/FileChanges.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace tarvix {

namespace {

constexpr std::uint32_t kFileEvents =
    IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE | IN_DELETE;
// The folder itself moved or went: its notices no longer speak of the path.
constexpr std::uint32_t kLostEvents = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

// The process's notice queue and who watches what through it. Watchers live
// on several threads (a scan pass, the watches), hence the lock.
class NoticeQueue {
 public:
  // Never destroyed: a watcher may outlive static destruction's order.
  static NoticeQueue& shared() {
    static NoticeQueue* queue = new NoticeQueue;
    return *queue;
  }

  // Watches `name` in `folder` for `who`; false when no watch could be set.
  bool add(const FileChanges* who, const std::string& folder, const std::string& name) {
    std::lock_guard lock(mu_);
    if (fd_ < 0) return false;
    const int wd = ::inotify_add_watch(fd_, folder.c_str(), kFileEvents | IN_ONLYDIR);
    if (wd < 0) return false;
    watchers_[who] = Watcher{wd, name, false, true};
    return true;
  }

  void remove(const FileChanges* who) {
    std::lock_guard lock(mu_);
    const auto it = watchers_.find(who);
    if (it == watchers_.end()) return;
    const int wd = it->second.wd;
    watchers_.erase(it);
    // The folder's watch is shared; it goes with its last watcher.
    const bool shared = std::any_of(watchers_.begin(), watchers_.end(),
                                    [wd](const auto& other) { return other.second.wd == wd; });
    if (!shared) ::inotify_rm_watch(fd_, wd);
  }

  struct Look {
    bool changed;  // a notice about the file came since the last look
    bool sound;    // the watch can still be trusted
  };
  // Reads what waits in the queue, for every watcher, then who's marks.
  Look look(const FileChanges* who) {
    std::lock_guard lock(mu_);
    drain();
    const auto it = watchers_.find(who);
    if (it == watchers_.end()) return {true, false};
    Watcher& w = it->second;
    return {std::exchange(w.changed, false), w.sound};
  }

 private:
  struct Watcher {
    int wd;
    std::string name;  // the file's name in the watched folder
    bool changed;
    bool sound;
  };

  NoticeQueue() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

  void drain() {
    alignas(inotify_event) char buf[4096];
    while (true) {
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (n < 0 && errno != EAGAIN) distrustAll();
        return;
      }
      for (ssize_t at = 0; at < n;) {
        inotify_event event;
        std::memcpy(&event, buf + at, sizeof event);
        const char* name = buf + at + sizeof event;
        const std::string_view named(name, event.len > 0 ? ::strnlen(name, event.len) : 0);
        if (event.mask & IN_Q_OVERFLOW) distrustAll();
        for (auto& [who, w] : watchers_) {
          if (w.wd != event.wd) continue;
          if (event.mask & kLostEvents) w.sound = false;
          if (named == w.name) w.changed = true;
        }
        at += static_cast<ssize_t>(sizeof event + event.len);
      }
    }
  }

  void distrustAll() {
    for (auto& entry : watchers_) entry.second.sound = false;
  }

  std::mutex mu_;
  const int fd_;
  std::unordered_map<const FileChanges*, Watcher> watchers_;
};

}  // namespace

// The queue is opened with the first watcher, before anything is watched.
FileChanges::FileChanges() { NoticeQueue::shared(); }

FileChanges::~FileChanges() { close(); }

void FileChanges::close() {
  if (watching_) NoticeQueue::shared().remove(this);
  watching_ = false;
}

void FileChanges::watch(const std::string& path) {
  // What came before the read is not a change after it; a watch that can no
  // longer be trusted is set up again.
  if (watching_ && path == path_ && NoticeQueue::shared().look(this).sound) return;
  close();
  path_ = path;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // A link's target, or a file of several names, changes without a notice
  // in this folder when written through another name.
  struct stat st {};
  if (name.empty() || (::lstat(path.c_str(), &st) == 0 && (S_ISLNK(st.st_mode) || st.st_nlink > 1)))
    return;
  watching_ = NoticeQueue::shared().add(this, folder, name);
}

bool FileChanges::changed() {
  if (!watching_) return true;
  const NoticeQueue::Look look = NoticeQueue::shared().look(this);
  return look.changed || !look.sound;
}

}  // namespace tarvix
