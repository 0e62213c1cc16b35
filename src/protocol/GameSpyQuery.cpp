#include "protocol/GameSpyQuery.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

#include "protocol/GameSpyStatus.h"
#include "protocol/UdpClient.h"

namespace tarvix {

namespace {

using Clock = std::chrono::steady_clock;

// Descriptors left for everything else the program has open.
constexpr rlim_t kSpareDescriptors = 64;
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

}  // namespace

int gameSpySocketBudget(int wanted) {
  wanted = std::max(wanted, 1);
  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY) {
    const rlim_t spare =
        lim.rlim_cur > kSpareDescriptors * 2 ? lim.rlim_cur - kSpareDescriptors : lim.rlim_cur / 2;
    wanted = static_cast<int>(std::min<rlim_t>(static_cast<rlim_t>(wanted), spare));
  }
  return std::max(wanted, 1);
}

bool queryGameSpyServers(const std::vector<ListedServer>& targets, int parallel, int timeoutMs,
                         const StopSignal& stop,
                         const std::function<void(std::size_t, GameSpyAnswer)>& done) {
  const std::size_t budget = static_cast<std::size_t>(gameSpySocketBudget(parallel));
  const auto timeout = std::chrono::milliseconds(std::max(timeoutMs, 1));
  std::vector<Slot> slots;
  std::vector<pollfd> fds;
  std::size_t next = 0;
  auto finish = [&](std::size_t i, bool answered) {
    Slot& s = slots[i];
    GameSpyAnswer a;
    a.complete = answered;
    if (answered) a.text = s.parts.text();
    a.pingMs = answered ? s.pingMs : -1;
    ::close(s.fd);
    const std::size_t target = s.target;
    slots[i] = std::move(slots.back());
    slots.pop_back();
    done(target, std::move(a));
  };
  bool stopped = false;
  while (!stopped && (next < targets.size() || !slots.empty())) {
    while (slots.size() < budget && next < targets.size()) {
      const std::size_t t = next++;
      const int fd = openQuery(targets[t]);
      if (fd < 0) {
        done(t, GameSpyAnswer{});
        continue;
      }
      Slot s;
      s.fd = fd;
      s.target = t;
      s.sent = Clock::now();
      s.deadline = s.sent + timeout;
      slots.push_back(std::move(s));
    }
    if (slots.empty()) continue;
    Clock::time_point soonest = slots.front().deadline;
    fds.resize(slots.size() + 1);
    for (std::size_t i = 0; i < slots.size(); ++i) {
      fds[i] = {slots[i].fd, POLLIN, 0};
      soonest = std::min(soonest, slots[i].deadline);
    }
    fds[slots.size()] = {stop.fd(), POLLIN, 0};
    const int rc = ::poll(fds.data(), fds.size(), millisLeft(soonest));
    if (rc < 0 && errno != EINTR) break;
    if (stop.requested() || (rc > 0 && (fds[slots.size()].revents & POLLIN))) {
      stopped = true;
      break;
    }
    // Backwards, as finishing moves the last slot into the finished one's place.
    const auto now = Clock::now();
    for (std::size_t i = slots.size(); i-- > 0;) {
      Slot& s = slots[i];
      if (rc > 0 && fds[i].revents != 0 && !drain(s, targets[s.target])) {
        finish(i, false);
        continue;
      }
      if (s.parts.complete())
        finish(i, true);
      else if (s.parts.spoiled() || now >= s.deadline)
        finish(i, false);
    }
  }
  for (Slot& s : slots) ::close(s.fd);
  return !stopped && !stop.requested();
}

LanSearch searchLan(std::uint32_t address, std::uint16_t firstPort, std::uint16_t lastPort,
                    int timeoutMs, const StopSignal& stop) {
  LanSearch result;
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    result.error = std::string("socket: ") + std::strerror(errno);
    return result;
  }
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  const auto sent = Clock::now();
  int sends = 0;
  std::string sendError;
  for (unsigned port = firstPort; port <= lastPort && port != 0; ++port) {
    const sockaddr_in to = socketAddress(address, static_cast<std::uint16_t>(port));
    if (::sendto(fd, kGameSpyStatusRequest.data(), kGameSpyStatusRequest.size(), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0)
      ++sends;
    else
      sendError = std::string("send: ") + std::strerror(errno);
  }
  if (sends == 0) {
    ::close(fd);
    result.error = sendError.empty() ? "no port to ask" : sendError;
    return result;
  }
  struct Sender {
    GameSpyReplyParts parts;
    int pingMs = -1;
    bool taken = false;
  };
  std::map<std::uint64_t, Sender> senders;
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
    while (true) {
      UdpResult datagram;
      sockaddr_in from{};
      if (readDatagram(fd, datagram, from) != DatagramRead::Datagram) break;
      const std::uint16_t port = ntohs(from.sin_port);
      if (!datagram.ok() || port < firstPort || port > lastPort) continue;
      const std::uint32_t ip = ntohl(from.sin_addr.s_addr);
      const std::uint64_t key = std::uint64_t{ip} << 16 | port;
      auto it = senders.find(key);
      if (it == senders.end()) {
        if (senders.size() >= kMaxLanServers) continue;
        it = senders.emplace(key, Sender{}).first;
        it->second.pingMs = millisSince(sent);
      }
      Sender& s = it->second;
      if (s.taken) continue;
      s.parts.add(datagram.bytes);
      if (s.parts.complete()) {
        s.taken = true;
        LanAnswer a;
        a.from = {ip, port};
        a.answer.complete = true;
        a.answer.text = s.parts.text();
        a.answer.pingMs = s.pingMs;
        result.servers.push_back(std::move(a));
      }
    }
  }
  ::close(fd);
  return result;
}

}  // namespace tarvix
