#include "protocol/StatusQueryPool.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "protocol/HostLookup.h"
#include "protocol/StatusQuery.h"

namespace tarvix {

namespace {

// Replies that arrive while a burst of requests goes out wait in the socket's
// buffer; the system caps the size asked for at its own maximum.
constexpr int kReceiveBufferBytes = 1 << 20;
// Requests sent before the sockets are emptied again during a burst.
constexpr int kSendsPerDrain = 16;
// Descriptors left to the rest of the program when the open-file limit is low.
constexpr rlim_t kSpareDescriptors = 64;

std::string sysError(const char* what, int err) {
  return std::string(what) + ": " + std::strerror(err);
}

std::uint64_t keyOf(const sockaddr_in& a) {
  return (static_cast<std::uint64_t>(ntohl(a.sin_addr.s_addr)) << 16) | ntohs(a.sin_port);
}

bool resolve(std::string_view host, std::string_view port, sockaddr_in& to, std::string& error,
             const StopSignal* stop) {
  std::uint16_t p = 0;
  if (!parsePort(port, p)) {
    error = "invalid port: " + std::string(port);
    return false;
  }
  std::memset(&to, 0, sizeof to);
  to.sin_family = AF_INET;
  to.sin_port = htons(p);
  // A host name is looked up so that a stop request ends the wait at once.
  const HostAddress found = lookupHost(std::string(host), stop);
  if (found.outcome != LookupOutcome::Found) {
    error = found.outcome == LookupOutcome::Stopped ? "stopped" : found.error;
    return false;
  }
  to.sin_addr = found.address;
  return true;
}

int socketBudget(int wanted) {
  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY) {
    const rlim_t spare =
        lim.rlim_cur > kSpareDescriptors ? (lim.rlim_cur - kSpareDescriptors) / 4 : 1;
    wanted =
        static_cast<int>(std::min<rlim_t>(static_cast<rlim_t>(wanted), std::max<rlim_t>(spare, 1)));
  }
  return std::max(wanted, 1);
}

}  // namespace

StatusQueryPool::StatusQueryPool(int maxInFlight, int tries, const StopSignal* stop)
    : maxInFlight_(std::max(maxInFlight, 1)), tries_(std::max(tries, 1)), stop_(stop) {
  const int wanted =
      std::min((maxInFlight_ + kQueriesPerSocket - 1) / kQueriesPerSocket, kMaxSockets);
  const int count = socketBudget(wanted);
  for (int i = 0; i < count; ++i) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      socketError_ = sysError("socket", errno);
      break;
    }
    const int size = kReceiveBufferBytes;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      socketError_ = sysError("bind", errno);
      ::close(fd);
      break;
    }
    sockets_.push_back(Socket{fd, {}});
  }
}

StatusQueryPool::~StatusQueryPool() {
  for (Socket& s : sockets_) ::close(s.fd);
}

void StatusQueryPool::start(int id, std::string_view host, std::string_view port, int timeoutMs) {
  ++active_;
  Query q;
  q.id = id;
  q.timeoutMs = std::max(timeoutMs, 0);
  std::string error;
  if (sockets_.empty()) return fail(id, socketError_);
  if (!resolve(host, port, q.to, error, stop_)) return fail(id, error);
  q.key = keyOf(q.to);
  place(std::move(q));
  if (++sendsSinceDrain_ >= kSendsPerDrain) drainAll();
}

void StatusQueryPool::place(Query q) {
  // Round robin over the sockets that have no query to this server in flight.
  for (std::size_t n = 0; n < sockets_.size(); ++n) {
    const std::size_t s = (nextSocket_ + n) % sockets_.size();
    if (sockets_[s].inFlight.count(q.key)) continue;
    nextSocket_ = s + 1;
    q.socket = static_cast<int>(s);
    sockets_[s].inFlight.emplace(q.key, q.id);
    Query& placed = queries_[q.id] = std::move(q);
    sendTry(placed);
    return;
  }
  waiting_.push_back(std::move(q));
}

void StatusQueryPool::sendTry(Query& q) {
  static const std::string request = statusRequest();
  const int fd = sockets_[q.socket].fd;
  while (::sendto(fd, request.data(), request.size(), MSG_NOSIGNAL,
                  reinterpret_cast<const sockaddr*>(&q.to), sizeof q.to) < 0) {
    if (errno == EINTR) continue;
    return fail(q.id, sysError("send", errno));
  }
  ++q.triesSent;
  q.serial = ++serial_;
  deadlines_.push({Clock::now() + std::chrono::milliseconds(q.timeoutMs), q.id, q.serial});
}

void StatusQueryPool::complete(int id, UdpResult result) {
  if (auto it = queries_.find(id); it != queries_.end()) {
    sockets_[it->second.socket].inFlight.erase(it->second.key);
    queries_.erase(it);
  }
  --active_;
  completed_.push_back(PoolReply{id, std::move(result)});
  if (!waiting_.empty()) placeWaiting();
}

void StatusQueryPool::fail(int id, std::string error) {
  UdpResult r;
  r.outcome = UdpOutcome::Failed;
  r.error = std::move(error);
  complete(id, std::move(r));
}

void StatusQueryPool::placeWaiting() {
  std::deque<Query> waiting;
  waiting.swap(waiting_);
  for (Query& q : waiting) place(std::move(q));
}

void StatusQueryPool::drain(Socket& s) {
  char buf[kReceiveBufferSize];
  while (true) {
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    const ssize_t n = ::recvfrom(s.fd, buf, sizeof buf, MSG_TRUNC | MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // empty; an error queued by the system concerns no query of its own
    }
    auto it = s.inFlight.find(keyOf(from));
    if (it == s.inFlight.end()) continue;  // a late reply to a finished query, or a stranger
    const int id = it->second;
    if (n == 0) {
      fail(id, "receive: empty datagram");
    } else if (static_cast<std::size_t>(n) > sizeof buf) {
      fail(id, "receive: datagram of " + std::to_string(n) + " bytes exceeds the " +
                   std::to_string(sizeof buf) + "-byte buffer");
    } else {
      UdpResult r;
      r.outcome = UdpOutcome::Ok;
      r.bytes.assign(buf, static_cast<std::size_t>(n));
      char text[INET_ADDRSTRLEN] = {};
      if (inet_ntop(AF_INET, &from.sin_addr, text, sizeof text)) r.fromHost = text;
      r.fromPort = ntohs(from.sin_port);
      complete(id, std::move(r));
    }
  }
}

void StatusQueryPool::drainAll() {
  sendsSinceDrain_ = 0;
  // One poll finds the sockets with replies waiting, rather than one
  // receive per socket.
  std::vector<pollfd> fds;
  fds.reserve(sockets_.size());
  for (const Socket& s : sockets_) fds.push_back({s.fd, POLLIN, 0});
  if (::poll(fds.data(), fds.size(), 0) <= 0) return;
  for (std::size_t i = 0; i < sockets_.size(); ++i)
    if (fds[i].revents) drain(sockets_[i]);
}

void StatusQueryPool::expire() {
  const Clock::time_point now = Clock::now();
  while (!deadlines_.empty() && deadlines_.top().at <= now) {
    const Deadline d = deadlines_.top();
    deadlines_.pop();
    auto it = queries_.find(d.id);
    if (it == queries_.end() || it->second.serial != d.serial) continue;  // answered meanwhile
    if (it->second.triesSent < tries_) {
      // Asked again on the same socket: a late answer to the first try still counts.
      sendTry(it->second);
    } else {
      UdpResult r;
      r.outcome = UdpOutcome::TimedOut;
      complete(d.id, std::move(r));
    }
  }
}

std::vector<PoolReply> StatusQueryPool::takeCompleted() {
  std::vector<PoolReply> out;
  out.swap(completed_);
  return out;
}

bool StatusQueryPool::wait() {
  if (stop_ && stop_->requested()) return false;
  if (!completed_.empty()) return true;
  // Drop deadlines of answered queries so the wait is for a live one.
  while (!deadlines_.empty()) {
    auto it = queries_.find(deadlines_.top().id);
    if (it != queries_.end() && it->second.serial == deadlines_.top().serial) break;
    deadlines_.pop();
  }
  int timeout = -1;
  if (!deadlines_.empty()) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadlines_.top().at - Clock::now());
    timeout = static_cast<int>(std::max<long long>(left.count(), 0));
  } else if (queries_.empty()) {
    return true;  // nothing to wait for
  }

  std::vector<pollfd> fds;
  fds.reserve(sockets_.size() + 1);
  for (const Socket& s : sockets_) fds.push_back({s.fd, POLLIN, 0});
  if (stop_) fds.push_back({stop_->fd(), POLLIN, 0});
  const int rc = ::poll(fds.data(), fds.size(), timeout);
  if (stop_ && stop_->requested()) return false;
  if (rc > 0)
    for (std::size_t i = 0; i < sockets_.size(); ++i)
      if (fds[i].revents) drain(sockets_[i]);
  sendsSinceDrain_ = 0;
  expire();
  return true;
}

}  // namespace tarvix
