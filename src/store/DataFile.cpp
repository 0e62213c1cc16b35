#include "store/DataFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

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
    struct stat opened {}, current {};
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

}  // namespace

FileError::FileError(const std::string& path, int err, const char* action)
    : std::runtime_error(describe(path, err, action)), path_(path), err_(err) {}

FileError::FileError(const std::string& path, int err, const std::string& message)
    : std::runtime_error(message), path_(path), err_(err) {}

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

std::vector<std::string> readLines(std::string_view relative) {
  return splitLines(readFile(relative));
}

void appendLines(std::string_view relative, const std::vector<std::string>& lines) {
  std::string path = dataPath(relative);
  for (const std::string& line : lines)
    if (line.find_first_of("\r\n") != std::string::npos)
      throw EntryError(path, "Cannot add \"" + escapeControls(line) + "\" to file \"" + path +
                                 "\". A line break cannot be part of an entry.");
  Fd fd(::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
  if (fd.get() < 0) throw FileError(path, errno);
  lockExclusive(fd.get(), path);
  // A last line without a line break (readers accept it) is ended first, so
  // the new lines do not run on into it.
  std::string prefix;
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && st.st_size > 0) {
    char last = '\n';
    if (::pread(fd.get(), &last, 1, st.st_size - 1) == 1 && last != '\n')
      prefix = last == '\r' ? "\n" : "\r\n";
  }
  writeAll(fd.get(), prefix + joinLinesCrlf(lines), path);
}

void replaceLines(std::string_view relative, const std::vector<std::string>& lines,
                  ReplaceMode mode) {
  replaceContent(relative, joinLinesCrlf(lines), mode);
}

void replaceContent(std::string_view relative, std::string_view content, ReplaceMode mode) {
  replaceContentAt(dataPath(relative), content, mode);
}

void replaceContentAt(const std::string& path, std::string_view content, ReplaceMode mode) {
  // Hold the target exclusively while it is replaced, so that no reader is
  // between its open and its read of the old content.
  int flags = O_WRONLY | O_CLOEXEC | (mode == ReplaceMode::CreateOrTruncate ? O_CREAT : 0);
  Fd target(::open(path.c_str(), flags, 0644));
  if (target.get() < 0) throw FileError(path, errno);
  lockExclusive(target.get(), path);

  std::string temp = path + ".~" + std::to_string(::getpid()) + "-" +
                     std::to_string(tempCounter.fetch_add(1));
  {
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.get() < 0) throw FileError(temp, errno);
    try {
      writeAll(out.get(), content, temp);
      if (::fsync(out.get()) != 0) throw FileError(temp, errno, "Cannot write file");
    } catch (...) {
      ::unlink(temp.c_str());
      throw;
    }
  }
  struct stat st {};
  if (::fstat(target.get(), &st) == 0) ::chmod(temp.c_str(), st.st_mode & 07777);
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    throw FileError(path, e);
  }
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
