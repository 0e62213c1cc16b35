#include "protocol/UdpClient.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "base/Text.h"
#include "protocol/HostLookup.h"

namespace tarvix {

namespace {

std::string sysError(const char* what, int err) {
  return std::string(what) + ": " + std::strerror(err);
}

UdpResult failure(std::string text) {
  UdpResult r;
  r.outcome = UdpOutcome::Failed;
  r.error = std::move(text);
  return r;
}

// Fills `addr` from host and port text; the host look-up ends at once on a
// stop request.
UdpResult resolve(std::string_view host, std::string_view port, sockaddr_in& addr,
                  const StopSignal* stop) {
  std::uint16_t p = 0;
  if (!parsePort(port, p)) return failure("invalid port: " + std::string(port));
  std::memset(&addr, 0, sizeof addr);
  addr.sin_family = AF_INET;
  addr.sin_port = htons(p);
  const HostAddress found = lookupHost(std::string(host), stop);
  if (found.outcome == LookupOutcome::Stopped) {
    UdpResult r;
    r.outcome = UdpOutcome::Stopped;
    return r;
  }
  if (found.outcome == LookupOutcome::Failed) return failure(found.error);
  addr.sin_addr = found.address;
  UdpResult r;
  r.outcome = UdpOutcome::Ok;
  return r;
}

}  // namespace

// --- UdpClient -------------------------------------------------------------

bool parsePort(std::string_view text, std::uint16_t& port) {
  long long v = 0;
  if (!parseInt(text, v) || v < 1 || v > 65535) return false;
  port = static_cast<std::uint16_t>(v);
  return true;
}

DatagramRead readDatagram(int fd, UdpResult& result, sockaddr_in& sender) {
  char buf[kReceiveBufferSize];
  socklen_t senderLen = sizeof sender;
  ssize_t n = 0;
  do {
    // MSG_TRUNC gives a longer datagram's real length, so it is told apart
    // from one that fills the buffer exactly.
    n = ::recvfrom(fd, buf, sizeof buf, MSG_TRUNC | MSG_DONTWAIT,
                   reinterpret_cast<sockaddr*>(&sender), &senderLen);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) return DatagramRead::Nothing;
    result = failure(sysError("receive", errno));
    return DatagramRead::Error;
  }
  if (n == 0) {
    result = failure("receive: empty datagram");
  } else if (static_cast<std::size_t>(n) > sizeof buf) {
    result = failure("receive: datagram of " + std::to_string(n) + " bytes exceeds the " +
                     std::to_string(sizeof buf) + "-byte buffer");
  } else {
    result = UdpResult{};
    result.outcome = UdpOutcome::Ok;
    result.bytes.assign(buf, static_cast<std::size_t>(n));
  }
  char text[INET_ADDRSTRLEN] = {};
  if (inet_ntop(AF_INET, &sender.sin_addr, text, sizeof text)) result.fromHost = text;
  result.fromPort = ntohs(sender.sin_port);
  return DatagramRead::Datagram;
}

bool sameEndpoint(const sockaddr_in& a, const sockaddr_in& b) {
  return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

UdpClient::UdpClient() = default;

UdpClient::~UdpClient() { close(); }

bool UdpClient::open(std::string* error) {
  if (fd_ >= 0) return true;
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    if (error) *error = sysError("socket", errno);
    return false;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    if (error) *error = sysError("bind", errno);
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void UdpClient::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool UdpClient::recreate(std::string* error) {
  // The new socket is bound before the old one is closed, so it cannot be
  // given the old local port again.
  int old = fd_;
  fd_ = -1;
  bool ok = open(error);
  if (old >= 0) ::close(old);
  return ok;
}

std::uint16_t UdpClient::localPort() const {
  if (fd_ < 0) return 0;
  sockaddr_in local{};
  socklen_t len = sizeof local;
  if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
  return ntohs(local.sin_port);
}

void UdpClient::setServer(std::string host, std::string port) {
  host_ = std::move(host);
  port_ = std::move(port);
  serverLookedUp_ = false;
}

UdpResult UdpClient::resolveServer(const StopSignal* stop) {
  if (serverLookedUp_) return serverLookup_;
  UdpResult r = resolve(host_, port_, serverAddress_, stop);
  // A stopped look-up is not a result: the next call looks up again.
  if (r.outcome != UdpOutcome::Stopped) {
    serverLookedUp_ = true;
    serverLookup_ = r;
  }
  return r;
}

UdpResult UdpClient::send(std::string_view datagram, const StopSignal* stop) {
  if (!serverLookedUp_) return sendTo(host_, port_, datagram, stop);
  if (!serverLookup_.ok()) return serverLookup_;
  return sendToAddress(serverAddress_, datagram);
}

UdpResult UdpClient::sendTo(std::string_view host, std::string_view port, std::string_view datagram,
                            const StopSignal* stop) {
  sockaddr_in to{};
  UdpResult where = resolve(host, port, to, stop);
  if (!where.ok()) return where;
  return sendToAddress(to, datagram);
}

UdpResult UdpClient::sendToAddress(const sockaddr_in& to, std::string_view datagram) {
  std::string error;
  if (!open(&error)) return failure(error);
  addressed_ = true;
  lastAddressee_ = to;
  while (true) {
    ssize_t n = ::sendto(fd_, datagram.data(), datagram.size(), MSG_NOSIGNAL,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (n >= 0) break;
    if (errno == EINTR) continue;
    return failure(sysError("send", errno));
  }
  UdpResult r;
  r.outcome = UdpOutcome::Ok;
  return r;
}

UdpResult UdpClient::receive(int timeoutMs, const StopSignal* stop, ReplyFrom from) {
  UdpResult r;
  if (stop && stop->requested()) {
    r.outcome = UdpOutcome::Stopped;
    return r;
  }
  std::string error;
  if (!open(&error)) return failure(error);

  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  while (true) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
    if (left < 0) left = 0;
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stop ? stop->fd() : -1, POLLIN, 0}};
    int rc = ::poll(fds, stop ? 2 : 1, static_cast<int>(left));
    if (rc < 0) {
      if (errno == EINTR) continue;
      return failure(sysError("poll", errno));
    }
    if (stop && (stop->requested() || (fds[1].revents & POLLIN))) {
      r.outcome = UdpOutcome::Stopped;
      return r;
    }
    if (rc == 0 || fds[0].revents == 0) {
      if (left == 0) {
        r.outcome = UdpOutcome::TimedOut;
        return r;
      }
      continue;
    }
    sockaddr_in sender{};
    switch (readDatagram(fd_, r, sender)) {
      case DatagramRead::Nothing:
        continue;
      case DatagramRead::Error:
        return r;
      case DatagramRead::Datagram:
        // A datagram from anyone but the addressee is dropped, whatever its
        // size, and the wait goes on.
        if (from == ReplyFrom::Addressee && addressed_ && !sameEndpoint(sender, lastAddressee_)) {
          r = UdpResult{};
          continue;
        }
        return r;
    }
  }
}

}  // namespace tarvix
