#include "protocol/StatusQueryPool.h"

#include <arpa/inet.h>
#include <sys/epoll.h>
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

// Ready sockets handled per wake-up; more wait for the next one.
constexpr int kEventsPerWait = 256;

std::string sysError(const char* what, int err) {
  return std::string(what) + ": " + std::strerror(err);
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

std::uint64_t endpointKey(const sockaddr_in& a) {
  return (static_cast<std::uint64_t>(ntohl(a.sin_addr.s_addr)) << 16) | ntohs(a.sin_port);
}

// Queries in flight the open-file limit leaves room for, one descriptor each.
int inFlightBudget(int wanted) {
  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_cur == RLIM_INFINITY) return wanted;
  const rlim_t spare = StatusQueryPool::kSpareDescriptors;
  const rlim_t room = lim.rlim_cur > spare ? lim.rlim_cur - spare : 1;
  return static_cast<int>(std::min<rlim_t>(static_cast<rlim_t>(wanted), room));
}

}  // namespace

StatusQueryPool::StatusQueryPool(int maxInFlight, int tries, const StopSignal* stop)
    : maxInFlight_(std::max(inFlightBudget(std::max(maxInFlight, 1)), 1)),
      tries_(std::max(tries, 1)),
      stop_(stop) {
  epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
  if (epoll_ < 0) {
    epollError_ = sysError("epoll", errno);
    return;
  }
  if (stop_) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = stop_->fd();
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, stop_->fd(), &ev);
  }
}

StatusQueryPool::~StatusQueryPool() {
  for (auto& [id, q] : queries_) ::close(q.fd);
  if (epoll_ >= 0) ::close(epoll_);
}

void StatusQueryPool::start(int id, std::string_view host, std::string_view port, int timeoutMs) {
  ++active_;
  Query q;
  q.id = id;
  q.timeoutMs = std::max(timeoutMs, 0);
  std::string error;
  if (epoll_ < 0) return fail(id, epollError_);
  if (!resolve(host, port, q.to, error, stop_)) return fail(id, error);
  // One query at a time per server, as the one-at-a-time pass asks: entries
  // sharing an address do not flood it.
  const std::uint64_t key = endpointKey(q.to);
  auto [endpoint, idle] = endpoints_.try_emplace(key);
  if (!idle) return endpoint->second.push_back(std::move(q));
  endpointOf_[id] = key;
  launch(std::move(q));
}

StatusQueryPool::Launch StatusQueryPool::sendTry(Query& q, std::string& error) {
  static const std::string request = statusRequest();
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    // Out of descriptors while other queries hold some: one is free again
    // when the next of them completes.
    if ((errno == EMFILE || errno == ENFILE) && !queries_.empty()) return Launch::NoDescriptor;
    error = sysError("socket", errno);
    return Launch::Failed;
  }
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = fd;
  if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) != 0) {
    error = sysError("epoll", errno);
    ::close(fd);
    return Launch::Failed;
  }
  // Sending binds the socket to a new port the system chooses.
  while (::sendto(fd, request.data(), request.size(), MSG_NOSIGNAL,
                  reinterpret_cast<const sockaddr*>(&q.to), sizeof q.to) < 0) {
    if (errno == EINTR) continue;
    error = sysError("send", errno);
    ::close(fd);
    return Launch::Failed;
  }
  q.fd = fd;
  ++q.triesSent;
  q.serial = ++serial_;
  deadlines_.push({Clock::now() + std::chrono::milliseconds(q.timeoutMs), q.id, q.serial});
  return Launch::Sent;
}

bool StatusQueryPool::tryLaunch(Query& q, std::string& error) {
  switch (sendTry(q, error)) {
    case Launch::Sent:
      socketOwner_[q.fd] = q.id;
      queries_[q.id] = std::move(q);
      return true;
    case Launch::NoDescriptor:
      waiting_.push_back(std::move(q));
      return true;
    case Launch::Failed:
      break;
  }
  return false;
}

void StatusQueryPool::launch(Query q) {
  std::string error;
  if (!tryLaunch(q, error)) fail(q.id, std::move(error));
}

void StatusQueryPool::record(int id, UdpResult result) {
  --active_;
  completed_.push_back(PoolReply{id, std::move(result)});
}

void StatusQueryPool::releaseEndpoint(int id) {
  const auto of = endpointOf_.find(id);
  if (of == endpointOf_.end()) return;
  const std::uint64_t key = of->second;
  endpointOf_.erase(of);
  const auto endpoint = endpoints_.find(key);
  // The next query to the same server goes out now; one that cannot be
  // sent completes and the one after it goes.
  while (!endpoint->second.empty()) {
    Query next = std::move(endpoint->second.front());
    endpoint->second.pop_front();
    std::string error;
    const int nextId = next.id;
    endpointOf_[nextId] = key;
    if (tryLaunch(next, error)) return;
    endpointOf_.erase(nextId);
    UdpResult r;
    r.outcome = UdpOutcome::Failed;
    r.error = std::move(error);
    record(nextId, std::move(r));
  }
  endpoints_.erase(endpoint);
}

StatusQueryPool::Query StatusQueryPool::takeQuery(std::unordered_map<int, Query>::iterator it) {
  Query q = std::move(it->second);
  queries_.erase(it);
  socketOwner_.erase(q.fd);
  // Closing the socket takes it out of the epoll set, and any reply that
  // comes later is refused by the system.
  ::close(q.fd);
  q.fd = -1;
  return q;
}

void StatusQueryPool::complete(int id, UdpResult result) {
  if (auto it = queries_.find(id); it != queries_.end()) takeQuery(it);
  record(id, std::move(result));
  releaseEndpoint(id);
  if (!waiting_.empty() && !placing_) placeWaiting();
}

void StatusQueryPool::fail(int id, std::string error) {
  UdpResult r;
  r.outcome = UdpOutcome::Failed;
  r.error = std::move(error);
  complete(id, std::move(r));
}

void StatusQueryPool::placeWaiting() {
  placing_ = true;
  while (!waiting_.empty()) {
    std::string error;
    const Launch launched = sendTry(waiting_.front(), error);
    if (launched == Launch::NoDescriptor) break;
    Query q = std::move(waiting_.front());
    waiting_.pop_front();
    if (launched == Launch::Sent) {
      socketOwner_[q.fd] = q.id;
      queries_[q.id] = std::move(q);
    } else {
      fail(q.id, std::move(error));
    }
  }
  placing_ = false;
}

void StatusQueryPool::receive(int fd) {
  const auto owner = socketOwner_.find(fd);
  if (owner == socketOwner_.end()) return;
  const int id = owner->second;
  const sockaddr_in to = queries_.at(id).to;
  while (true) {
    UdpResult r;
    sockaddr_in from{};
    switch (readDatagram(fd, r, from)) {
      case DatagramRead::Nothing:
        return;
      case DatagramRead::Error:
        return complete(id, std::move(r));
      case DatagramRead::Datagram:
        // Only the server asked may answer; anything else is dropped unread.
        if (sameEndpoint(from, to)) return complete(id, std::move(r));
        break;
    }
  }
}

void StatusQueryPool::expire() {
  const Clock::time_point now = Clock::now();
  while (!deadlines_.empty() && deadlines_.top().at <= now) {
    const Deadline d = deadlines_.top();
    deadlines_.pop();
    auto it = queries_.find(d.id);
    if (it == queries_.end() || it->second.serial != d.serial) continue;  // answered meanwhile
    if (it->second.triesSent < tries_) {
      // Asked again from a new socket: a late answer to the last try is
      // not taken for the answer to this one.
      launch(takeQuery(it));
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
  if (queries_.empty()) return true;  // nothing to wait for
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadlines_.top().at - Clock::now());
  const int timeout = static_cast<int>(std::max<long long>(left.count(), 0));

  epoll_event events[kEventsPerWait];
  const int n = ::epoll_wait(epoll_, events, kEventsPerWait, timeout);
  if (stop_ && stop_->requested()) return false;
  for (int i = 0; i < n; ++i)
    if (!stop_ || events[i].data.fd != stop_->fd()) receive(events[i].data.fd);
  expire();
  return true;
}

}  // namespace tarvix
