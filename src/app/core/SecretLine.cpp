#include "app/core/SecretLine.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "base/StopSignal.h"

namespace tarvix {

namespace {

// Turns a terminal's echo off for its lifetime; does nothing on a pipe or file.
class NoEcho {
 public:
  explicit NoEcho(int fd) : fd_(fd) {
    if (!::isatty(fd) || ::tcgetattr(fd, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL;  // the line break still shows, so the next output starts a line
    active_ = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
  }
  ~NoEcho() {
    if (active_) ::tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

}  // namespace

SecretLineRead readSecretLine(int fd, const StopSignal& stop, std::string& line) {
  line.clear();
  NoEcho noEcho(fd);
  pollfd fds[2] = {{fd, POLLIN, 0}, {stop.fd(), POLLIN, 0}};
  for (;;) {
    if (stop.requested()) return SecretLineRead::Stopped;
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return SecretLineRead::End;
    }
    if (stop.requested()) return SecretLineRead::Stopped;
    if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    // One byte at a time: what follows the line stays unread for others.
    char c = 0;
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return SecretLineRead::End;
    if (c == '\n') {
      // A password file written with CR LF line ends: the CR is no part of it.
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return SecretLineRead::Line;
    }
    line.push_back(c);
  }
}

}  // namespace tarvix
