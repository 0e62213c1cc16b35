#include "protocol/GameSpyQuery.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

#include "protocol/GameSpyStatus.h"
#include "protocol/QueryBudget.h"
#include "protocol/UdpClient.h"

namespace tarvix {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxLanServers = 4096;

int millisLeft(Clock::time_point until) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

int millisSince(Clock::time_point from) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - from).count());
}

sockaddr_in socketAddress(std::uint32_t ip, std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(ip);
  a.sin_port = htons(port);
  return a;
}

struct Slot {
  int fd = -1;
  std::size_t target = 0;
  Clock::time_point sent;
  Clock::time_point deadline;
  GameSpyReplyParts parts;
  int pingMs = -1;
};

// Waits on the feed's descriptor at most this long when it has none.
constexpr int kFeedLookMs = 10;

// Opens a socket connected to the target and sends the request; -1 on failure.
int openQuery(const ListedServer& target) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const sockaddr_in to = socketAddress(target.ip, target.port);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
      ::send(fd, kGameSpyStatusRequest.data(), kGameSpyStatusRequest.size(), MSG_NOSIGNAL) < 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads every datagram waiting on the slot's socket. False when the socket
// reports a failure (an ICMP "port unreachable" among them): no answer.
bool drain(Slot& slot, const ListedServer& target) {
  const sockaddr_in asked = socketAddress(target.ip, target.port);
  while (true) {
    UdpResult datagram;
    sockaddr_in from{};
    switch (readDatagram(slot.fd, datagram, from)) {
      case DatagramRead::Nothing:
        return true;
      case DatagramRead::Error:
        return false;
      case DatagramRead::Datagram:
        break;
    }
    // The connected socket takes only the target's datagrams; checked again
    // all the same. An empty or oversized one is no part.
    if (!sameEndpoint(from, asked) || !datagram.ok()) continue;
    if (slot.pingMs < 0) slot.pingMs = millisSince(slot.sent);
    slot.parts.add(datagram.bytes);
  }
}

// One pass over the targets a feed brings: slots for the queries in flight,
// filled from the feed, polled together with the stop signal and the feed.
class QueryPass {
 public:
  QueryPass(GameSpyFeed& feed, int parallel, int timeoutMs, const StopSignal& stop,
            const GameSpyDone& done)
      : feed_(feed),
        stop_(stop),
        done_(done),
        budget_(static_cast<std::size_t>(queriesInFlight(parallel))),
        timeout_(std::max(timeoutMs, 1)) {}
  ~QueryPass() {
    for (Slot& s : slots_) ::close(s.fd);
  }
  QueryPass(const QueryPass&) = delete;
  QueryPass& operator=(const QueryPass&) = delete;

  bool run() {
    while (true) {
      if (open_) open_ = feed_.take(targets_);
      fill();
      if (!open_ && slots_.empty() && next_ == targets_.size()) return !stop_.requested();
      const int rc = waitOnce();
      if (rc < 0 && errno != EINTR) return !stop_.requested();
      if (stop_.requested() || (rc > 0 && (fds_[slots_.size()].revents & POLLIN))) return false;
      settle(rc > 0);
    }
  }

 private:
  void fill() {
    while (slots_.size() < budget_ && next_ < targets_.size()) {
      const std::size_t t = next_++;
      const int fd = openQuery(targets_[t]);
      if (fd < 0) {
        GameSpyAnswer none;
        none.noSocket = errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM;
        done_(t, none);
        continue;
      }
      Slot s;
      s.fd = fd;
      s.target = t;
      s.sent = Clock::now();
      s.deadline = s.sent + timeout_;
      slots_.push_back(std::move(s));
    }
  }

  // Polls the slots, the stop signal and (while it may bring more) the feed.
  int waitOnce() {
    fds_.resize(slots_.size() + 2);
    int wait = -1;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      fds_[i] = {slots_[i].fd, POLLIN, 0};
      const int left = millisLeft(slots_[i].deadline);
      wait = wait < 0 ? left : std::min(wait, left);
    }
    fds_[slots_.size()] = {stop_.fd(), POLLIN, 0};
    fds_[slots_.size() + 1] = {open_ ? feed_.fd() : -1, POLLIN, 0};
    if (open_ && feed_.fd() < 0) wait = wait < 0 ? kFeedLookMs : std::min(wait, kFeedLookMs);
    return ::poll(fds_.data(), fds_.size(), wait);
  }

  // Reads what arrived, then finishes the whole replies and the expired
  // queries: a reply waiting on a socket counts even at its deadline.
  void settle(bool ready) {
    const auto now = Clock::now();
    // Backwards, as finishing moves the last slot into the finished one's place.
    for (std::size_t i = slots_.size(); i-- > 0;) {
      Slot& s = slots_[i];
      if (ready && fds_[i].revents != 0 && !drain(s, targets_[s.target])) {
        finish(i, false);
        continue;
      }
      if (s.parts.complete())
        finish(i, true);
      else if (s.parts.spoiled() || now >= s.deadline)
        finish(i, false);
    }
  }

  void finish(std::size_t i, bool answered) {
    Slot& s = slots_[i];
    GameSpyAnswer a;
    a.complete = answered;
    if (answered) a.text = s.parts.text();
    a.pingMs = answered ? s.pingMs : -1;
    ::close(s.fd);
    const std::size_t target = s.target;
    slots_[i] = std::move(slots_.back());
    slots_.pop_back();
    done_(target, std::move(a));
  }

  GameSpyFeed& feed_;
  const StopSignal& stop_;
  const GameSpyDone& done_;
  const std::size_t budget_;
  const std::chrono::milliseconds timeout_;
  std::vector<ListedServer> targets_;
  std::size_t next_ = 0;
  bool open_ = true;
  std::vector<Slot> slots_;
  std::vector<pollfd> fds_;
};

// The address is a broadcast address: the limited one, or one of an
// interface of this machine. Without the interface list, x.y.z.255 counts.
bool isBroadcast(std::uint32_t address) {
  if (address == INADDR_BROADCAST) return true;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return (address & 0xFF) == 0xFF;
  bool found = false;
  for (ifaddrs* i = list; i != nullptr && !found; i = i->ifa_next) {
    if (!(i->ifa_flags & IFF_BROADCAST) || i->ifa_broadaddr == nullptr ||
        i->ifa_broadaddr->sa_family != AF_INET)
      continue;
    const auto* b = reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr);
    found = ntohl(b->sin_addr.s_addr) == address;
  }
  ::freeifaddrs(list);
  return found;
}

// Sends \status\ to each port of the range; the number sent, or -1 with
// `error` set when none could be.
int askPorts(int fd, std::uint32_t address, std::uint16_t first, std::uint16_t last,
             std::string& error) {
  int sends = 0;
  for (unsigned port = first; port <= last && port != 0; ++port) {
    const sockaddr_in to = socketAddress(address, static_cast<std::uint16_t>(port));
    if (::sendto(fd, kGameSpyStatusRequest.data(), kGameSpyStatusRequest.size(), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0)
      ++sends;
    else
      error = std::string("send: ") + std::strerror(errno);
  }
  if (sends == 0 && error.empty()) error = "no port to ask";
  return sends == 0 ? -1 : sends;
}

// The replies of a LAN search, kept per sender until each is whole.
class LanReplies {
 public:
  LanReplies(std::uint32_t address, std::uint16_t first, std::uint16_t last, Clock::time_point sent,
             LanSearch& result, const std::function<void(const LanAnswer&)>& each)
      : anyHost_(isBroadcast(address)),
        address_(address),
        first_(first),
        last_(last),
        sent_(sent),
        result_(result),
        each_(each) {}

  // Takes every datagram waiting on `fd`.
  void readAll(int fd) {
    while (true) {
      UdpResult datagram;
      sockaddr_in from{};
      if (readDatagram(fd, datagram, from) != DatagramRead::Datagram) return;
      const std::uint32_t ip = ntohl(from.sin_addr.s_addr);
      const std::uint16_t port = ntohs(from.sin_port);
      if (datagram.ok() && port >= first_ && port <= last_ && (anyHost_ || ip == address_))
        take(ip, port, datagram.bytes);
    }
  }

 private:
  struct Sender {
    GameSpyReplyParts parts;
    int pingMs = -1;
    bool taken = false;
  };

  void take(std::uint32_t ip, std::uint16_t port, const std::string& bytes) {
    const std::uint64_t key = std::uint64_t{ip} << 16 | port;
    auto it = senders_.find(key);
    if (it == senders_.end()) {
      if (senders_.size() >= kMaxLanServers) return;
      it = senders_.emplace(key, Sender{}).first;
      it->second.pingMs = millisSince(sent_);
    }
    Sender& s = it->second;
    if (s.taken) return;
    s.parts.add(bytes);
    if (!s.parts.complete()) return;
    s.taken = true;
    LanAnswer a;
    a.from = {ip, port};
    a.answer.complete = true;
    a.answer.text = s.parts.text();
    a.answer.pingMs = s.pingMs;
    if (each_) each_(a);
    result_.servers.push_back(std::move(a));
  }

  const bool anyHost_;
  const std::uint32_t address_;
  const std::uint16_t first_, last_;
  const Clock::time_point sent_;
  LanSearch& result_;
  const std::function<void(const LanAnswer&)>& each_;
  std::map<std::uint64_t, Sender> senders_;
};

}  // namespace

GameSpyFeed::GameSpyFeed() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

GameSpyFeed::~GameSpyFeed() {
  if (fd_ >= 0) ::close(fd_);
}

void GameSpyFeed::add(const std::vector<ListedServer>& targets) {
  {
    std::lock_guard lock(mu_);
    pending_.insert(pending_.end(), targets.begin(), targets.end());
  }
  std::uint64_t one = 1;
  if (fd_ >= 0) [[maybe_unused]]
    ssize_t n = ::write(fd_, &one, sizeof one);
}

void GameSpyFeed::close() {
  {
    std::lock_guard lock(mu_);
    closed_ = true;
  }
  std::uint64_t one = 1;
  if (fd_ >= 0) [[maybe_unused]]
    ssize_t n = ::write(fd_, &one, sizeof one);
}

bool GameSpyFeed::take(std::vector<ListedServer>& into) {
  std::uint64_t count = 0;
  if (fd_ >= 0) [[maybe_unused]]
    ssize_t n = ::read(fd_, &count, sizeof count);
  std::lock_guard lock(mu_);
  const bool any = !pending_.empty();
  into.insert(into.end(), pending_.begin(), pending_.end());
  pending_.clear();
  return any || !closed_;
}

bool queryGameSpyFeed(GameSpyFeed& feed, int parallel, int timeoutMs, const StopSignal& stop,
                      const GameSpyDone& done) {
  return QueryPass(feed, parallel, timeoutMs, stop, done).run();
}

bool queryGameSpyServers(const std::vector<ListedServer>& targets, int parallel, int timeoutMs,
                         const StopSignal& stop, const GameSpyDone& done) {
  GameSpyFeed feed;
  feed.add(targets);
  feed.close();
  return queryGameSpyFeed(feed, parallel, timeoutMs, stop, done);
}

LanSearch searchLan(std::uint32_t address, std::uint16_t firstPort, std::uint16_t lastPort,
                    int timeoutMs, const StopSignal& stop,
                    const std::function<void(const LanAnswer&)>& each) {
  LanSearch result;
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    result.error = std::string("socket: ") + std::strerror(errno);
    return result;
  }
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  const auto sent = Clock::now();
  if (askPorts(fd, address, firstPort, lastPort, result.error) < 0) {
    ::close(fd);
    return result;
  }
  result.error.clear();
  LanReplies replies(address, firstPort, lastPort, sent, result, each);
  const auto deadline = sent + std::chrono::milliseconds(std::max(timeoutMs, 1));
  while (true) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop.fd(), POLLIN, 0}};
    const int rc = ::poll(fds, 2, millisLeft(deadline));
    if (stop.requested() || (rc > 0 && (fds[1].revents & POLLIN))) {
      result.stopped = true;
      break;
    }
    if (rc < 0 && errno == EINTR) continue;
    if (rc <= 0) break;
    replies.readAll(fd);
  }
  ::close(fd);
  return result;
}

}  // namespace tarvix
