#include "support/FakeMaster.h"

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

// The validate answers to the challenge "ABCDEF".
std::string expectedValidate(const std::string& game) {
  if (game == "mohaa") return "iA2tel80";
  if (game == "mohaas") return "JiJ4NLKM";
  if (game == "mohaab") return "1AXZQ71M";
  return "?";
}

// The bytes split on backslashes and paired key, value, the first value of
// a key kept.
std::map<std::string, std::string> pairsOf(const std::string& bytes) {
  std::vector<std::string> pieces;
  std::size_t from = bytes.empty() || bytes[0] != '\\' ? 0 : 1;
  while (from <= bytes.size()) {
    const std::size_t cut = std::min(bytes.find('\\', from), bytes.size());
    pieces.push_back(bytes.substr(from, cut - from));
    from = cut + 1;
  }
  std::map<std::string, std::string> pairs;
  for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) pairs.emplace(pieces[i], pieces[i + 1]);
  return pairs;
}

void sendAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

FakeMaster::FakeMaster(MasterBehaviour behaviour) : behaviour_(behaviour) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::listen(listenFd_, 64) != 0)
    throw std::runtime_error(std::string("fake master: ") + std::strerror(errno));
  socklen_t len = sizeof a;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
  port_ = ntohs(a.sin_port);
  stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  thread_ = std::thread([this] { run(); });
}

FakeMaster::~FakeMaster() {
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
  thread_.join();
  for (std::thread& t : workers_) t.join();
  ::close(listenFd_);
  ::close(stopFd_);
}

void FakeMaster::setList(const std::string& game, std::vector<MasterEntry> entries) {
  std::lock_guard lock(mu_);
  lists_[game] = std::move(entries);
}

std::string FakeMaster::listBytes(const std::vector<MasterEntry>& entries) {
  std::string out;
  for (const MasterEntry& e : entries) {
    in_addr a{};
    ::inet_pton(AF_INET, e.ip.c_str(), &a);
    out.append(reinterpret_cast<const char*>(&a.s_addr), 4);
    out.push_back(static_cast<char>(e.port >> 8));
    out.push_back(static_cast<char>(e.port & 0xFF));
  }
  return out;
}

std::vector<std::string> FakeMaster::received() const {
  std::lock_guard lock(mu_);
  return received_;
}

void FakeMaster::run() {
  while (true) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (::poll(fds, 2, 1000) < 0 && errno != EINTR) return;
    if (fds[1].revents & POLLIN) return;
    if (!(fds[0].revents & POLLIN)) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    const int open = ++open_;
    for (int peak = peak_.load(); open > peak && !peak_.compare_exchange_weak(peak, open);) {
    }
    workers_.emplace_back([this, fd] {
      serve(fd);
      ::close(fd);
      --open_;
    });
  }
}

void FakeMaster::serve(int fd) {
  std::size_t slot;
  {
    std::lock_guard lock(mu_);
    slot = received_.size();
    received_.emplace_back();
  }
  std::string got;
  // Reads until `done` says the bytes so far suffice, the peer closes or
  // the fake is torn down; false on the last two.
  auto readUntil = [&](auto done) {
    while (!done(got)) {
      pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
      if (::poll(fds, 2, 1000) < 0 && errno != EINTR) return false;
      if (fds[1].revents & POLLIN) return false;
      if (!(fds[0].revents & (POLLIN | POLLHUP))) continue;
      char buf[4096];
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) return false;
      got.append(buf, static_cast<std::size_t>(n));
      std::lock_guard lock(mu_);
      received_[slot] = got;
    }
    return true;
  };
  auto holdOpen = [&] { readUntil([](const std::string&) { return false; }); };

  switch (behaviour_) {
    case MasterBehaviour::Silent:
      return holdOpen();
    case MasterBehaviour::Fatal:
      return sendAll(fd, "\\fatal\\Too many connections");
    case MasterBehaviour::ChallengeWithoutFinal:
      sendAll(fd, "\\basic\\\\secure\\ABCDEF");
      break;
    case MasterBehaviour::FinalApart:
      sendAll(fd, "\\basic\\\\secure\\ABCDEF");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      sendAll(fd, "\\final\\");
      break;
    default:
      sendAll(fd, "\\basic\\\\secure\\ABCDEF\\final\\");
  }
  if (behaviour_ == MasterBehaviour::CloseAfterChallenge) return;

  auto hasList = [](const std::string& g) { return g.find("\\list\\") != std::string::npos; };
  const bool whole = readUntil(hasList);
  // Both lines whole before answering.
  if (!whole || !readUntil([](const std::string& g) {
        return g.size() >= 7 && g.rfind("\\final\\") > g.find("\\list\\");
      }))
    return;

  const std::map<std::string, std::string> pairs = pairsOf(got);
  // "list" paired as a value: the request is not understood and not answered.
  if (pairs.count("list") == 0) return holdOpen();
  const std::string game = pairs.count("gamename") ? pairs.at("gamename") : "";
  if (!pairs.count("validate") || pairs.at("validate") != expectedValidate(game) ||
      behaviour_ == MasterBehaviour::Echo)
    return sendAll(fd,
                   "\\echo\\You failed to authenticate. See the master's site\x85"
                   "\\final\\");
  ++validated_;

  std::vector<MasterEntry> entries;
  {
    std::lock_guard lock(mu_);
    entries = lists_[game];
  }
  const std::string list = listBytes(entries);
  switch (behaviour_) {
    case MasterBehaviour::ListNotWholeEntries:
      return sendAll(fd, list + "x\\final\\");
    case MasterBehaviour::NoFinal:
      return sendAll(fd, list);
    case MasterBehaviour::Garbage:
      return sendAll(fd, "HTTP/1.0 400 Bad Request\r\n\r\n");
    case MasterBehaviour::NeverCloses:
      sendAll(fd, list + "\\final\\");
      return holdOpen();
    case MasterBehaviour::ResetAfterList: {
      sendAll(fd, list + "\\final\\");
      const linger reset{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      return;
    }
    case MasterBehaviour::Trickle:
      for (int i = 0; i < 500; ++i) {
        pollfd fds[1] = {{stopFd_, POLLIN, 0}};
        if (::poll(fds, 1, 20) != 0 || ::send(fd, "\x01", 1, MSG_NOSIGNAL) < 0) return;
      }
      return;
    case MasterBehaviour::Endless: {
      const std::string chunk(6000, '\x01');
      for (int i = 0; i < 10000; ++i) {
        pollfd fds[2] = {{fd, POLLOUT, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, 1000) <= 0 || (fds[1].revents & POLLIN) ||
            (fds[0].revents & (POLLERR | POLLHUP)))
          return;
        if (::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0 &&
            errno != EAGAIN)
          return;
      }
      return;
    }
    default:
      return sendAll(fd, list + "\\final\\");
  }
}

}  // namespace tarvix::test
