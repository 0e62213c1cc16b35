#include "protocol/StatusQueryPool.h"

#include <arpa/inet.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "protocol/HostLookup.h"
#include "protocol/StatusQuery.h"

namespace tarvix {

namespace {

constexpr std::uint64_t kStopEvent = std::numeric_limits<std::uint64_t>::max();
// Ready sockets taken per epoll_wait call; when that many were ready, the
// pool asks again at once until none is left.
constexpr int kEventsPerCall = 1024;

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

UdpResult failure(std::string error) {
  UdpResult r;
  r.outcome = UdpOutcome::Failed;
  r.error = std::move(error);
  return r;
}

}  // namespace

StatusQueryPool::StatusQueryPool(int maxInFlight, int tries, const StopSignal* stop)
    : maxInFlight_(queriesInFlight(maxInFlight)), tries_(std::max(tries, 1)), stop_(stop) {
  epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
  if (epoll_ < 0) {
    epollError_ = sysError("epoll", errno);
    return;
  }
  if (stop_) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kStopEvent;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, stop_->fd(), &ev);
  }
}

StatusQueryPool::~StatusQueryPool() {
  for (const Query& q : slots_)
    if (q.fd >= 0) ::close(q.fd);
  if (epoll_ >= 0) ::close(epoll_);
}

void StatusQueryPool::start(int id, std::string_view host, std::string_view port, int timeoutMs) {
  ++active_;
  sockaddr_in to{};
  std::string error;
  if (epoll_ < 0) return record(id, failure(epollError_));
  if (!resolve(host, port, to, error, stop_)) return record(id, failure(std::move(error)));
  // One request answers every query of the same server: entries sharing an
  // address cost one time-out together, and the server is asked once.
  const std::uint64_t key = endpointKey(to);
  if (const auto asked = byEndpoint_.find(key); asked != byEndpoint_.end())
    return slots_[asked->second].sharers.push_back(id);
  std::uint32_t slot = 0;
  if (freeSlots_.empty()) {
    slot = static_cast<std::uint32_t>(slots_.size());
    slots_.emplace_back();
  } else {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
  }
  Query& q = slots_[slot];
  q.id = id;
  q.to = to;
  q.timeoutMs = std::max(timeoutMs, 0);
  q.triesSent = 0;
  q.live = true;
  byEndpoint_.emplace(key, slot);
  ++sockets_;
  launch(slot);
}

StatusQueryPool::Launch StatusQueryPool::openSocket(Query& q, std::uint32_t slot,
                                                    std::string& error) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    // Out of descriptors while other queries hold some: one is free again
    // when the next of them completes.
    if ((errno == EMFILE || errno == ENFILE) && openSockets_ > 0) return Launch::NoDescriptor;
    error = sysError("socket", errno);
    return Launch::Failed;
  }
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.u64 = (static_cast<std::uint64_t>(q.generation) << 32) | slot;
  if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) != 0) {
    error = sysError("epoll", errno);
    ::close(fd);
    return Launch::Failed;
  }
  q.fd = fd;
  ++openSockets_;
  return Launch::Sent;
}

StatusQueryPool::Launch StatusQueryPool::sendTry(std::uint32_t slot, std::string& error) {
  static const std::string request = statusRequest();
  Query& q = slots_[slot];
  if (q.fd < 0)
    if (const Launch opened = openSocket(q, slot, error); opened != Launch::Sent) return opened;
  // The first send binds the socket to a port the system chooses; a retry
  // goes out from the same port.
  while (::sendto(q.fd, request.data(), request.size(), MSG_NOSIGNAL,
                  reinterpret_cast<const sockaddr*>(&q.to), sizeof q.to) < 0) {
    if (errno == EINTR) continue;
    error = sysError("send", errno);
    return Launch::Failed;
  }
  ++q.triesSent;
  deadlines_.push(
      {Clock::now() + std::chrono::milliseconds(q.timeoutMs), slot, q.generation, q.triesSent});
  return Launch::Sent;
}

void StatusQueryPool::launch(std::uint32_t slot) {
  std::string error;
  switch (sendTry(slot, error)) {
    case Launch::Sent:
      return;
    case Launch::NoDescriptor:
      return waiting_.push_back(slot);
    case Launch::Failed:
      return fail(slot, std::move(error));
  }
}

void StatusQueryPool::record(int id, const UdpResult& result) {
  --active_;
  completed_.push_back(PoolReply{id, result});
}

void StatusQueryPool::complete(std::uint32_t slot, UdpResult result) {
  Query& q = slots_[slot];
  // Closing the socket takes it out of the epoll set, and any reply that
  // comes later is refused by the system.
  if (q.fd >= 0) {
    ::close(q.fd);
    --openSockets_;
  }
  q.fd = -1;
  q.live = false;
  ++q.generation;
  byEndpoint_.erase(endpointKey(q.to));
  for (int sharer : q.sharers) record(sharer, result);
  std::vector<int>().swap(q.sharers);
  const int id = q.id;
  freeSlots_.push_back(slot);
  --sockets_;
  record(id, result);
  if (!waiting_.empty() && !placing_) placeWaiting();
}

void StatusQueryPool::fail(std::uint32_t slot, std::string error) {
  complete(slot, failure(std::move(error)));
}

void StatusQueryPool::placeWaiting() {
  placing_ = true;
  while (!waiting_.empty()) {
    std::string error;
    const std::uint32_t slot = waiting_.front();
    const Launch launched = sendTry(slot, error);
    if (launched == Launch::NoDescriptor) break;
    waiting_.pop_front();
    if (launched == Launch::Failed) fail(slot, std::move(error));
  }
  placing_ = false;
}

bool StatusQueryPool::receive(std::uint32_t slot) {
  const Query& q = slots_[slot];
  if (q.fd < 0) return false;
  while (true) {
    UdpResult r;
    sockaddr_in from{};
    switch (readDatagram(q.fd, r, from)) {
      case DatagramRead::Nothing:
        return false;
      case DatagramRead::Error:
        complete(slot, std::move(r));
        return true;
      case DatagramRead::Datagram:
        // Only the server asked may answer; anything else is dropped unread.
        if (!sameEndpoint(from, q.to)) break;
        complete(slot, std::move(r));
        return true;
    }
  }
}

bool StatusQueryPool::stale(const Deadline& d) const {
  const Query& q = slots_[d.slot];
  return !q.live || q.generation != d.generation || q.triesSent != d.tries;
}

void StatusQueryPool::expire() {
  const Clock::time_point now = Clock::now();
  while (!deadlines_.empty() && deadlines_.top().at <= now) {
    const Deadline d = deadlines_.top();
    deadlines_.pop();
    if (stale(d)) continue;
    // A reply that is already waiting is read before its query times out.
    if (receive(d.slot)) continue;
    if (slots_[d.slot].triesSent < tries_)
      launch(d.slot);
    else
      complete(d.slot, UdpResult{});  // TimedOut
  }
}

std::vector<PoolReply> StatusQueryPool::takeCompleted() {
  std::vector<PoolReply> out;
  out.swap(completed_);
  return out;
}

bool StatusQueryPool::handle(int timeoutMs) {
  epoll_event events[kEventsPerCall];
  int n = kEventsPerCall;
  for (int wait = timeoutMs; n == kEventsPerCall; wait = 0) {
    n = ::epoll_wait(epoll_, events, kEventsPerCall, wait);
    if (stop_ && stop_->requested()) return false;
    for (int i = 0; i < n; ++i) {
      const std::uint64_t tag = events[i].data.u64;
      if (tag == kStopEvent) continue;
      const auto slot = static_cast<std::uint32_t>(tag);
      const Query& q = slots_[slot];
      if (q.live && q.generation == static_cast<std::uint32_t>(tag >> 32)) receive(slot);
    }
  }
  expire();
  return true;
}

bool StatusQueryPool::poll() {
  if (stop_ && stop_->requested()) return false;
  if (epoll_ < 0 || openSockets_ == 0) return true;
  return handle(0);
}

bool StatusQueryPool::wait() {
  if (stop_ && stop_->requested()) return false;
  if (!completed_.empty()) return true;
  // Drop deadlines of answered queries so the wait is for a live one.
  while (!deadlines_.empty() && stale(deadlines_.top())) deadlines_.pop();
  if (deadlines_.empty()) return true;  // nothing to wait for
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadlines_.top().at - Clock::now());
  return handle(static_cast<int>(std::max<long long>(left.count(), 0)));
}

}  // namespace tarvix
