#include "protocol/MasterClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
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

constexpr std::string_view kFinal = "\\final\\";

enum class Wait { Ready, TimedOut, CutOff, Stopped, Failed };

MasterFailure connectFailure(int err) {
  switch (err) {
    case ECONNREFUSED:
      return MasterFailure::ConnectionRefused;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
    case ETIMEDOUT:
      return MasterFailure::Unreachable;
    default:
      return MasterFailure::Other;
  }
}

class Connection {
 public:
  Connection(int timeoutMs, const StopSignal& stop)
      : timeoutMs_(timeoutMs < 1 ? 1 : timeoutMs),
        stop_(stop),
        started_(Clock::now()),
        cutOff_(started_ + std::chrono::milliseconds(static_cast<long long>(timeoutMs_) *
                                                     kMasterStepsAllowed)) {}
  ~Connection() {
    if (fd_ >= 0) ::close(fd_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  std::string error;
  MasterFailure failure = MasterFailure::None;
  std::size_t received = 0;  // bytes read so far

  bool connectTo(in_addr address, std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return fail(MasterFailure::NoSocket, "no socket", errno);
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr = address;
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return true;
    if (errno != EINPROGRESS) return fail(connectFailure(errno), "connect", errno);
    Wait w = waitFor(POLLOUT);
    if (w == Wait::TimedOut || w == Wait::CutOff) {
      failure = MasterFailure::Unreachable;
      error = "no connection within " + std::to_string(timeoutMs_) + " ms";
      return false;
    }
    if (w != Wait::Ready) return waited(w, "");
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
    if (err != 0) return fail(connectFailure(err), "connect", err);
    return true;
  }

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
        failure = MasterFailure::Closed;
        error = "closed the connection before the list request";
        return false;
      }
      return fail(MasterFailure::Other, "send", errno);
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
        received += static_cast<std::size_t>(n);
        return true;
      }
      // A reset is a close that lost what the peer had not yet sent.
      if (n == 0 || errno == ECONNRESET) {
        closed = true;
        return true;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      return fail(MasterFailure::Other, "receive", errno);
    }
  }

 private:
  Wait waitFor(short events) {
    while (true) {
      const auto now = Clock::now();
      if (now >= cutOff_) return Wait::CutOff;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(cutOff_ - now).count();
      const bool last = left <= timeoutMs_;
      if (!last) left = timeoutMs_;
      pollfd fds[2] = {{fd_, events, 0}, {stop_.fd(), POLLIN, 0}};
      int rc = ::poll(fds, 2, static_cast<int>(left) + 1);
      if (rc < 0) {
        if (errno == EINTR) continue;
        return Wait::Failed;
      }
      if (stop_.requested() || (fds[1].revents & POLLIN)) return Wait::Stopped;
      if (rc == 0) return last ? Wait::CutOff : Wait::TimedOut;
      if (fds[0].revents != 0) return Wait::Ready;
    }
  }
  bool waited(Wait w, const std::string& what) {
    switch (w) {
      case Wait::Stopped:
        failure = MasterFailure::Stopped;
        error = "stopped";
        break;
      case Wait::TimedOut:
        failure = MasterFailure::TimedOut;
        error = what + " within " + std::to_string(timeoutMs_) + " ms";
        break;
      case Wait::CutOff: {
        const auto took =
            std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - started_).count();
        failure = MasterFailure::CutOff;
        error = "still unfinished after " + std::to_string(took) + " s (" +
                std::to_string(received) + " bytes received): cut off";
        break;
      }
      default:
        return fail(MasterFailure::Other, "poll", errno);
    }
    return false;
  }
  bool fail(MasterFailure kind, const char* what, int err) {
    failure = kind;
    error = std::string(what) + ": " + std::strerror(err);
    return false;
  }

  int fd_ = -1;
  const int timeoutMs_;
  const StopSignal& stop_;
  const Clock::time_point started_;
  const Clock::time_point cutOff_;
};

MasterFetch failed(MasterFailure kind, std::string error) {
  MasterFetch f;
  f.failure = kind;
  f.stopped = kind == MasterFailure::Stopped;
  f.error = std::move(error);
  return f;
}

MasterFetch listed(std::vector<ListedServer> servers, in_addr master) {
  MasterFetch f;
  f.ok = true;
  f.servers = std::move(servers);
  f.dropped = keepAskable(f.servers, ntohl(master.s_addr));
  return f;
}

// Connected and past the challenge: asks for the list and reads it.
MasterFetch askList(Connection& c, const std::string& game, const std::string& answer,
                    bool greetingEnded, in_addr master, std::size_t maxEntries) {
  auto lost = [&] { return failed(c.failure, c.error); };
  // One write: the validate line pairs up with the request whether the
  // master reads the two together or apart.
  if (!c.writeAll(validateLine(game, answer) + listRequest(game))) return lost();
  std::string bytes;
  bool closed = false;
  while (true) {
    ListReply reply = greetingEnded ? readListReply(bytes, closed, maxEntries)
                                    : readListReplyAfterBareChallenge(bytes, closed, maxEntries);
    if (reply.state == ListState::Complete && closed)
      return listed(std::move(reply.servers), master);
    if (reply.state == ListState::Refused)
      return failed(MasterFailure::Refused, "refused: " + reply.message);
    if (reply.state == ListState::Malformed || reply.state == ListState::TooLong)
      return failed(
          reply.message.rfind("closed", 0) == 0 ? MasterFailure::Closed : MasterFailure::NotAList,
          reply.message);
    if (!c.readSome(bytes, closed, "no list")) {
      // A master that sent a whole list but keeps the connection open has
      // said all it will.
      if (c.failure == MasterFailure::TimedOut && reply.state == ListState::Complete)
        return listed(std::move(reply.servers), master);
      return lost();
    }
  }
}

}  // namespace

MasterFetch fetchMasterList(const std::string& host, std::uint16_t port, const std::string& game,
                            int timeoutMs, const StopSignal& stop, MasterLimits limits) {
  const std::string_view key = gameSecretKey(game);
  if (key.empty()) return failed(MasterFailure::UnknownGame, "unknown game \"" + game + "\"");
  const HostAddress address = lookupHost(host, &stop);
  if (address.outcome == LookupOutcome::Stopped) return failed(MasterFailure::Stopped, "stopped");
  if (address.outcome == LookupOutcome::Failed)
    return failed(MasterFailure::CannotResolve, address.error);

  Connection c(timeoutMs, stop);
  if (!c.connectTo(address.address, port)) return failed(c.failure, c.error);

  std::string bytes;
  bool closed = false;
  Greeting greeting;
  while (true) {
    greeting = readGreeting(bytes, closed);
    if (greeting.state != GreetingState::Incomplete) break;
    if (!c.readSome(bytes, closed, "no challenge")) return failed(c.failure, c.error);
  }
  if (greeting.state == GreetingState::Refused)
    return failed(MasterFailure::Refused, "refused: " + greeting.message);
  if (greeting.state == GreetingState::Malformed)
    return failed(closed ? MasterFailure::Closed : MasterFailure::NotAList, greeting.message);
  if (closed) return failed(MasterFailure::Closed, "closed the connection after the challenge");
  // Whatever followed the challenge in its bytes (such as \final\) is not
  // part of the list.
  const bool greetingEnded = bytes.find(kFinal) != std::string::npos;
  return askList(c, game, gameSpyValidate(key, greeting.challenge), greetingEnded, address.address,
                 limits.maxEntries);
}

}  // namespace tarvix
