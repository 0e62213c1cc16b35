#include "protocol/MasterClient.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "protocol/GameSpyValidate.h"
#include "protocol/HostLookup.h"

namespace tarvix {

namespace {

using Clock = std::chrono::steady_clock;

enum class Wait { Ready, TimedOut, Stopped, Failed };

class Connection {
 public:
  Connection(int timeoutMs, const StopSignal& stop)
      : timeoutMs_(timeoutMs < 1 ? 1 : timeoutMs),
        stop_(stop),
        cutOff_(Clock::now() + std::chrono::milliseconds(static_cast<long long>(timeoutMs_) *
                                                         kMasterStepsAllowed)) {}
  ~Connection() {
    if (fd_ >= 0) ::close(fd_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  std::string error;

  bool connectTo(in_addr address, std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return fail("socket", errno);
    // Each write leaves as a segment of its own.
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr = address;
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return true;
    if (errno != EINPROGRESS) return fail("connect", errno);
    Wait w = waitFor(POLLOUT);
    if (w != Wait::Ready) return waited(w, "no connection");
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
    if (err != 0) return fail("connect", err);
    return true;
  }

  // Writes all of `bytes`, then waits until the peer has taken them.
  bool writeAll(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        Wait w = waitFor(POLLOUT);
        if (w != Wait::Ready) return waited(w, "the master takes no data");
        continue;
      }
      if (errno == EPIPE || errno == ECONNRESET) {
        error = "closed the connection before the list request";
        return false;
      }
      return fail("send", errno);
    }
    // Until the bytes are acknowledged they may still merge with the next write.
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    while (Clock::now() < until) {
      int unsent = 0;
      if (::ioctl(fd_, SIOCOUTQ, &unsent) != 0 || unsent == 0) return true;
      if (stop_.waitFor(1)) return waited(Wait::Stopped, "");
    }
    return true;
  }

  // Reads what has arrived (waiting up to the step time-out for it) into
  // `into`. False on time-out, stop or failure; `closed` when the peer closed.
  bool readSome(std::string& into, bool& closed, const char* what) {
    Wait w = waitFor(POLLIN);
    if (w != Wait::Ready) return waited(w, what);
    char buf[16384];
    while (true) {
      ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
      if (n > 0) {
        into.append(buf, static_cast<std::size_t>(n));
        return true;
      }
      // A reset is a close that lost what the peer had not yet sent.
      if (n == 0 || errno == ECONNRESET) {
        closed = true;
        return true;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      return fail("receive", errno);
    }
  }

  bool stopped = false;

 private:
  Wait waitFor(short events) {
    while (true) {
      const auto now = Clock::now();
      if (now >= cutOff_) return Wait::TimedOut;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(cutOff_ - now).count();
      if (left > timeoutMs_) left = timeoutMs_;
      pollfd fds[2] = {{fd_, events, 0}, {stop_.fd(), POLLIN, 0}};
      int rc = ::poll(fds, 2, static_cast<int>(left) + 1);
      if (rc < 0) {
        if (errno == EINTR) continue;
        return Wait::Failed;
      }
      if (stop_.requested() || (fds[1].revents & POLLIN)) return Wait::Stopped;
      if (rc == 0) return Wait::TimedOut;
      if (fds[0].revents != 0) return Wait::Ready;
    }
  }
  bool waited(Wait w, const std::string& what) {
    if (w == Wait::Stopped) {
      stopped = true;
      error = "stopped";
    } else if (w == Wait::TimedOut) {
      error = what + " within " + std::to_string(timeoutMs_) + " ms";
    } else {
      error = std::string("poll: ") + std::strerror(errno);
    }
    return false;
  }
  bool fail(const char* what, int err) {
    error = std::string(what) + ": " + std::strerror(err);
    return false;
  }

  int fd_ = -1;
  const int timeoutMs_;
  const StopSignal& stop_;
  const Clock::time_point cutOff_;
};

MasterFetch failed(std::string error, bool stopped = false) {
  MasterFetch f;
  f.error = std::move(error);
  f.stopped = stopped;
  return f;
}

}  // namespace

MasterFetch fetchMasterList(const std::string& host, std::uint16_t port, const std::string& game,
                            int timeoutMs, const StopSignal& stop, MasterLimits limits) {
  const std::string_view key = gameSecretKey(game);
  if (key.empty()) return failed("unknown game \"" + game + "\"");
  const HostAddress address = lookupHost(host, &stop);
  if (address.outcome == LookupOutcome::Stopped) return failed("stopped", true);
  if (address.outcome == LookupOutcome::Failed) return failed(address.error);

  Connection c(timeoutMs, stop);
  auto lost = [&] { return failed(c.error, c.stopped); };
  if (!c.connectTo(address.address, port)) return lost();

  std::string bytes;
  bool closed = false;
  Greeting greeting;
  while (true) {
    greeting = readGreeting(bytes, closed);
    if (greeting.state != GreetingState::Incomplete) break;
    if (!c.readSome(bytes, closed, "no challenge")) return lost();
  }
  if (greeting.state == GreetingState::Refused) return failed("refused: " + greeting.message);
  if (greeting.state == GreetingState::Malformed) return failed(greeting.message);
  if (closed) return failed("closed the connection after the challenge");

  // Two writes: one master program reads them apart and answers nothing to
  // both in one segment.
  if (!c.writeAll(validateLine(game, gameSpyValidate(key, greeting.challenge))) ||
      !c.writeAll(listRequest(game)))
    return lost();

  // Whatever followed the challenge in its segment (such as \final\) is not
  // part of the list.
  const bool greetingEnded = bytes.find("\\final\\") != std::string::npos;
  bytes.clear();
  while (true) {
    // A \final\ closing the challenge may come in a segment of its own.
    std::string_view list = bytes;
    if (!greetingEnded && list.size() > 7 && list.substr(0, 7) == "\\final\\")
      list.remove_prefix(7);
    ListReply reply = readListReply(list, closed, limits.maxEntries);
    if (reply.state == ListState::Complete && closed) {
      MasterFetch f;
      f.ok = true;
      f.servers = std::move(reply.servers);
      return f;
    }
    if (reply.state == ListState::Refused) return failed("refused: " + reply.message);
    if (reply.state == ListState::Malformed || reply.state == ListState::TooLong)
      return failed(reply.message);
    if (!c.readSome(bytes, closed, "no list")) {
      // A master that sent a whole list but keeps the connection open has
      // said all it will.
      if (!c.stopped && reply.state == ListState::Complete) {
        MasterFetch f;
        f.ok = true;
        f.servers = std::move(reply.servers);
        return f;
      }
      return lost();
    }
  }
}

}  // namespace tarvix
