#include "support/FakeGameServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace tarvix::test {

namespace {

int bindLoopback(std::uint16_t& port) {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) throw std::runtime_error(std::string("fake server socket: ") + std::strerror(errno));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    int err = errno;
    ::close(fd);
    throw std::runtime_error(std::string("fake server bind: ") + std::strerror(err));
  }
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}

void sendDatagram(int fd, const std::string& host, std::uint16_t port, std::string_view bytes) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  ::inet_pton(AF_INET, host.c_str(), &to.sin_addr);
  ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

}  // namespace

FakeGameServer::FakeGameServer() {
  fd_ = bindLoopback(port_);
  // Room for the oversized datagrams some tests send.
  int size = 1 << 20;
  ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  thread_ = std::thread([this] { run(); });
}

FakeGameServer::~FakeGameServer() {
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
  if (thread_.joinable()) thread_.join();
  ::close(fd_);
  if (otherFd_ >= 0) ::close(otherFd_);
  ::close(stopFd_);
}

int FakeGameServer::otherSocket() {
  std::lock_guard lock(mu_);
  if (otherFd_ < 0) otherFd_ = bindLoopback(otherPort_);
  return otherFd_;
}

std::uint16_t FakeGameServer::otherPort() {
  otherSocket();
  std::lock_guard lock(mu_);
  return otherPort_;
}

void FakeGameServer::queue(FakeAnswer answer) {
  std::lock_guard lock(mu_);
  queue_.push_back(std::move(answer));
}

void FakeGameServer::setResponder(FakeResponder responder) {
  std::lock_guard lock(mu_);
  responder_ = std::move(responder);
}

void FakeGameServer::setReply(std::string bytes) {
  setResponder(
      [bytes = std::move(bytes)](const FakeDatagram&) { return FakeAnswer::reply(bytes); });
}

void FakeGameServer::sendTo(const std::string& host, std::uint16_t port, std::string_view bytes) {
  sendDatagram(fd_, host, port, bytes);
}

std::vector<FakeDatagram> FakeGameServer::received() const {
  std::lock_guard lock(mu_);
  return received_;
}

std::size_t FakeGameServer::receivedCount() const {
  std::lock_guard lock(mu_);
  return received_.size();
}

bool FakeGameServer::waitForCount(std::size_t n, int timeoutMs) const {
  std::unique_lock lock(mu_);
  return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return received_.size() >= n; });
}

std::size_t FakeGameServer::sentCount() const {
  std::lock_guard lock(mu_);
  return sent_;
}

bool FakeGameServer::waitForSent(std::size_t n, int timeoutMs) const {
  std::unique_lock lock(mu_);
  return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return sent_ >= n; });
}

long long FakeGameServer::nowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void FakeGameServer::handle(FakeDatagram d) {
  FakeAnswer answer;
  FakeResponder responder;
  {
    std::lock_guard lock(mu_);
    received_.push_back(d);
    if (queueHead_ < queue_.size()) {
      answer = std::move(queue_[queueHead_++]);
    } else {
      responder = responder_;
    }
  }
  cv_.notify_all();
  if (responder) answer = responder(d);
  // The clock's current millisecond may be nearly over: a delay is counted
  // from the next one, so that at least delayMs pass before the answer.
  long long due = nowMs() + (answer.delayMs > 0 ? answer.delayMs + 1 : 0);
  for (auto& bytes : answer.datagrams) {
    pending_.push_back({due, std::move(bytes), d.fromHost, d.fromPort, answer.fromOtherPort});
    due += std::max(0, answer.gapMs);
  }
}

void FakeGameServer::sendDue() {
  const long long now = nowMs();
  // Datagrams keep their order: earlier requests and earlier parts first.
  std::size_t sentNow = 0;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->dueMs <= now) {
      int from = fd_;
      if (it->fromOther) {
        try {
          from = otherSocket();
        } catch (const std::exception&) {
          from = -1;  // no second socket: the answer is lost, as on a bad network
        }
      }
      if (from >= 0) sendDatagram(from, it->toHost, it->toPort, it->bytes);
      it = pending_.erase(it);
      ++sentNow;
    } else {
      ++it;
    }
  }
  if (sentNow) {
    {
      std::lock_guard lock(mu_);
      sent_ += sentNow;
    }
    cv_.notify_all();
  }
}

void FakeGameServer::run() {
  std::string buf(65536, '\0');
  while (true) {
    int timeout = -1;
    if (!pending_.empty()) {
      long long next = pending_.front().dueMs;
      for (const auto& p : pending_) next = std::min(next, p.dueMs);
      timeout = static_cast<int>(std::max(0LL, next - nowMs()));
    }
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    int rc = ::poll(fds, 2, timeout);
    if (rc < 0 && errno != EINTR) return;
    if (fds[1].revents & POLLIN) return;
    if (rc > 0 && (fds[0].revents & POLLIN)) {
      // Read whatever is queued; each datagram is one request.
      for (int i = 0; i < 64; ++i) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n =
            ::recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0) break;
        FakeDatagram d;
        d.bytes.assign(buf.data(), static_cast<std::size_t>(n));
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        d.fromHost = text;
        d.fromPort = ntohs(from.sin_port);
        handle(std::move(d));
      }
    }
    sendDue();
  }
}

std::string makeStatusReply(std::string_view infoLine,
                            const std::vector<std::pair<int, std::string>>& players) {
  std::string r("\xFF\xFF\xFF\xFF\x01statusResponse\n");
  r.append(infoLine);
  r.push_back('\n');
  for (const auto& [ping, name] : players) {
    r += std::to_string(ping);
    r += " \"";
    r += name;
    r += "\"\n";
  }
  return r;
}

std::string makePlayersReply(const std::string& map, const std::string& maxClients,
                             const std::vector<std::string>& names) {
  std::vector<std::pair<int, std::string>> players;
  for (const auto& n : names) players.emplace_back(40, n);
  return makeStatusReply("\\sv_hostname\\X\\mapname\\" + map + "\\sv_maxclients\\" + maxClients,
                         players);
}

std::vector<std::string> serverListLines(
    const std::vector<std::pair<std::string, const FakeGameServer*>>& servers) {
  std::vector<std::string> lines;
  for (const auto& [name, server] : servers) {
    lines.push_back(name);
    lines.push_back(FakeGameServer::host());
    lines.push_back(server ? server->portText() : std::string("1"));
  }
  return lines;
}

std::string makeRconRequest(std::string_view password, std::string_view command) {
  return std::string("\xFF\xFF\xFF\xFF\x02rcon ").append(password).append(" ").append(command) +
         std::string("\n\0", 2);
}

std::string makePrintReply(std::string_view text) {
  std::string r("\xFF\xFF\xFF\xFF\x01print");
  r.append(text);
  return r;
}

}  // namespace tarvix::test
