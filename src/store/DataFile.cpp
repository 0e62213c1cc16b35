#include "store/DataFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "base/Text.h"

namespace tarvix {

namespace {

std::string describe(const std::string& path, int err, const char* action) {
  if (err == EWOULDBLOCK)
    return std::string(action) + " \"" + path +
           "\". The process cannot access the file because it is being used by another process.";
  return std::string(action) + " \"" + path + "\". " + std::strerror(err);
}

std::string readAll(int fd, const std::string& path) {
  std::string out;
  char buf[65536];
  while (true) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError(path, errno, "Cannot read file");
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

void writeAll(int fd, std::string_view data, const std::string& path) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError(path, errno, "Cannot write file");
    }
    done += static_cast<std::size_t>(n);
  }
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Opens a file for reading and takes a shared lock on it. A writer may have
// renamed a new file over the path meanwhile; then the new file is opened.
int openShared(const std::string& path) {
  // Each retry means a writer replaced the file meanwhile.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError(path, errno);
    while (::flock(fd, LOCK_SH) != 0) {
      if (errno != EINTR) {
        int e = errno;
        ::close(fd);
        throw FileError(path, e);
      }
    }
    struct stat opened {
    }, current{};
    if (::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &current) == 0 &&
        opened.st_ino == current.st_ino && opened.st_dev == current.st_dev)
      return fd;
    ::close(fd);
  }
  throw FileError(path, EAGAIN);
}

// Exclusive lock without waiting: fails as "in use" while a reader holds it.
void lockExclusive(int fd, const std::string& path) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    throw FileError(path, errno == EAGAIN ? EWOULDBLOCK : errno);
  }
}

std::atomic<unsigned> tempCounter{0};

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A link made by someone who could not write the data folder's files himself
// would let him choose which of this user's files a writer overwrites.
bool trustedLinkOwner(uid_t owner) {
  if (owner == ::geteuid() || owner == 0) return true;
  struct stat folder {};
  return ::stat(".", &folder) == 0 && folder.st_uid == owner;
}

// The file a symbolic link finally names (the path itself when it is none),
// so that a writer replaces the link's target instead of the link. A link of
// an untrusted owner is refused, naming `shown`.
std::string followLinks(const std::string& path, const std::string& shown, bool reading = false) {
  std::string p = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    if (!trustedLinkOwner(st.st_uid))
      throw WriteRefused(
          shown, EPERM,
          std::string(reading ? "Cannot read file \"" : "Cannot write file \"") + shown + "\". \"" +
              p + "\" is a symbolic link made by another user (uid " + std::to_string(st.st_uid) +
              (reading ? "), who could point it at any file to choose what Tarvix "
                         "reads, so Tarvix does not read through it. "
                       : "), who could point it at any of your files, so Tarvix "
                         "does not write through it. ") +
              "Remove the link, or put a file of your own in its place.");
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
    if (n <= 0) return p;
    target.resize(static_cast<std::size_t>(n));
    p = target.front() == '/' ? target : folderOf(p) + "/" + target;
  }
  return p;
}

// The start of the temporaries' names beside `path`: "<file>.~". A long file
// name is cut so that "<file>.~<pid>-<counter>" still fits in a folder entry.
std::string temporaryPrefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  constexpr std::size_t kRoom = 2 + 10 + 1 + 10;  // ".~", pid, "-", counter
  const std::size_t nameLength = std::min(path.size() - nameStart, std::size_t{NAME_MAX} - kRoom);
  return path.substr(0, nameStart + nameLength) + ".~";
}

// Writes `content` to a new temporary file beside `path` and renames it over
// `path`. `target` is the caller's locked descriptor of the file it replaces,
// or -1 when there is none yet; it must be open for writing. Errors name
// `shown`, the file as the user knows it, never the temporary.
void replaceLocked(const std::string& path, int target, std::string_view content, FileAccess access,
                   const std::string& shown) {
  struct stat st {};
  const bool existed = target >= 0;
  if (existed && ::fstat(target, &st) != 0) throw FileError(shown, errno);
  const bool ownerOnly = access == FileAccess::OwnerOnly;
  mode_t perms = existed ? st.st_mode & 07777 : 0644;
  if (ownerOnly) perms = existed ? perms & 07700 : 0600;

  // Created exclusively with its final mode, so that the content is never
  // readable by more people than the target's, and never through a link
  // planted under its name.
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = temporaryPrefix(path) + std::to_string(::getpid()) + "-" +
           std::to_string(tempCounter.fetch_add(1));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                ownerOnly ? 0600 : perms);
    if (fd < 0 && errno != EEXIST) {
      const int e = errno;
      // The folder takes no new file. Overwriting the target in place could
      // be cut short and leave it empty or half-written: leave it as it is.
      if (existed && (e == EACCES || e == EPERM))
        throw WriteRefused(shown, e,
                           "Cannot write file \"" + shown + "\". Its folder \"" + folderOf(path) +
                               "\" takes no new file, so the file cannot be replaced safely "
                               "and was left as it was. Allow writing in that folder (chmod u+w) "
                               "and try again.");
      throw FileError(shown, e);
    }
  }
  if (fd < 0) throw FileError(shown, EEXIST);
  {
    Fd out(fd);
    try {
      // An existing file's mode is kept exactly (the umask may have narrowed it).
      if (existed && ::fchmod(out.get(), perms) != 0) throw FileError(shown, errno);
      writeAll(out.get(), content, shown);
      if (::fsync(out.get()) != 0) throw FileError(shown, errno, "Cannot write file");
    } catch (...) {
      ::unlink(temp.c_str());
      throw;
    }
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    throw FileError(shown, e);
  }
  // The rename itself reaches the disk with the folder.
  Fd dir(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace

FileError::FileError(const std::string& path, int err, const char* action)
    : std::runtime_error(describe(path, err, action)), path_(path), err_(err) {}

FileError::FileError(const std::string& path, int err, const std::string& message)
    : std::runtime_error(message), path_(path), err_(err) {}

WriteRefused::WriteRefused(const std::string& path, int err, const std::string& message)
    : FileError(path, err, message) {}

EntryError::EntryError(const std::string& path, const std::string& message)
    : FileError(path, EINVAL, message) {}

bool FileError::inUse() const { return err_ == EWOULDBLOCK; }

std::string dataPath(std::string_view relative) {
  std::string p(relative);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

bool fileExists(std::string_view relative) {
  struct stat st {};
  return ::stat(dataPath(relative).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string readFileAt(const std::string& path) {
  Fd fd(openShared(path));
  return readAll(fd.get(), path);
}

std::string readFile(std::string_view relative) { return readFileAt(dataPath(relative)); }

std::string readFileThroughTrustedLinks(std::string_view relative) {
  const std::string path = dataPath(relative);
  return readFileAt(followLinks(path, path, true));
}

std::vector<std::string> readLines(std::string_view relative) {
  return splitLines(readFile(relative));
}

void appendLines(std::string_view relative, const std::vector<std::string>& lines,
                 FileAccess access) {
  std::string path = dataPath(relative);
  for (const std::string& line : lines)
    if (line.find_first_of("\r\n") != std::string::npos)
      throw EntryError(path, "Cannot add \"" + escapeControls(line) + "\" to file \"" + path +
                                 "\". A line break cannot be part of an entry.");
  // A linked file is written through to its target.
  const std::string target = followLinks(path, path);
  Fd fd(::open(target.c_str(), O_RDWR | O_CLOEXEC));
  if (fd.get() < 0) throw FileError(path, errno);
  lockExclusive(fd.get(), path);
  std::string content = readAll(fd.get(), path);
  // A last line without a line break (readers accept it) is ended first, so
  // the new lines do not run on into it.
  if (!content.empty() && content.back() != '\n') content += content.back() == '\r' ? "\n" : "\r\n";
  content += joinLinesCrlf(lines);
  // Not written in place: a write killed at a page boundary leaves half a
  // record, so the whole file is replaced like any rewrite.
  replaceLocked(target, fd.get(), content, access, path);
}

void replaceLines(std::string_view relative, const std::vector<std::string>& lines,
                  ReplaceMode mode, FileAccess access) {
  replaceContent(relative, joinLinesCrlf(lines), mode, access);
}

void replaceContent(std::string_view relative, std::string_view content, ReplaceMode mode,
                    FileAccess access) {
  replaceContentAt(dataPath(relative), content, mode, access);
}

void replaceContentAt(const std::string& path, std::string_view content, ReplaceMode mode,
                      FileAccess access) {
  // Hold an existing target exclusively while it is replaced, so that no
  // reader is between its open and its read of the old content. A missing
  // target is not created here: it stays missing until the rename, so a crash
  // never leaves an empty file that was not there.
  // A linked file is written through to its target (a missing one too).
  const std::string resolved = followLinks(path, path);
  Fd target(::open(resolved.c_str(), O_WRONLY | O_CLOEXEC));
  if (target.get() < 0 && (errno != ENOENT || mode == ReplaceMode::MustExist))
    throw FileError(path, errno);
  if (target.get() >= 0) lockExclusive(target.get(), path);
  replaceLocked(resolved, target.get(), content, access, path);
}

namespace {

// Removes the temporaries in `folder` whose name starts with `prefix` ("" for
// all of them).
int removeStaleTemporariesStarting(const std::string& folder, std::string_view prefix) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return 0;
  int removed = 0;
  while (dirent* e = ::readdir(dir.get())) {
    // "<file>.~<pid>-<counter>", as replaceContentAt names its temporaries.
    const std::string_view name = e->d_name;
    const std::size_t mark = name.rfind(".~");
    if (mark == std::string_view::npos || mark == 0) continue;
    if (!prefix.empty() && name.substr(0, mark + 2) != prefix) continue;
    const std::string_view tail = name.substr(mark + 2);
    const std::size_t dash = tail.find('-');
    auto digits = [](std::string_view t) {
      return !t.empty() && t.size() < 10 && t.find_first_not_of("0123456789") == t.npos;
    };
    if (dash == std::string_view::npos || !digits(tail.substr(0, dash)) ||
        !digits(tail.substr(dash + 1)))
      continue;
    const long long pid = std::stoll(std::string(tail.substr(0, dash)));
    if (pid <= 0) continue;
    // A writer that still runs may be about to rename its temporary.
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) continue;
    const std::string path = folder + "/" + std::string(name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0)
      ++removed;
  }
  return removed;
}

}  // namespace

int removeStaleTemporaries(const std::string& folder) {
  return removeStaleTemporariesStarting(folder, {});
}

int removeStaleTemporariesOfLinks(const std::string& folder) {
  std::error_code ec;
  int removed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_symlink(ec)) continue;
    const std::string link = entry.path().string();
    try {
      const std::string target = followLinks(link, link);
      const std::string prefix = temporaryPrefix(target);
      const std::size_t slash = prefix.rfind('/');
      removed += removeStaleTemporariesStarting(
          folderOf(target), slash == std::string::npos ? prefix : prefix.substr(slash + 1));
    } catch (const FileError&) {
      // A link nobody may write through has no temporaries of ours.
    }
  }
  return removed;
}

void deleteFile(std::string_view relative) {
  std::string path = dataPath(relative);
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw FileError(path, errno);
  lockExclusive(fd.get(), path);
  if (::unlink(path.c_str()) != 0) throw FileError(path, errno);
}

ReadHold::ReadHold(std::string_view relative) : path_(dataPath(relative)) {
  fd_ = openShared(path_);
}

ReadHold::~ReadHold() {
  if (fd_ >= 0) ::close(fd_);
}

std::string ReadHold::content() const {
  ::lseek(fd_, 0, SEEK_SET);
  return readAll(fd_, path_);
}

}  // namespace tarvix
