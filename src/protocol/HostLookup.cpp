#include "protocol/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace tarvix {

namespace {

bool systemLookup(const std::string& host, in_addr& address, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* res = nullptr;
  const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &res);
  if (rc != 0 || !res) {
    error = "cannot resolve " + host + ": " + gai_strerror(rc);
    if (res) freeaddrinfo(res);
    return false;
  }
  address = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr;
  freeaddrinfo(res);
  return true;
}

std::mutex lookupMutex;
BlockingLookup installedLookup;

BlockingLookup currentLookup() {
  std::lock_guard lock(lookupMutex);
  return installedLookup ? installedLookup : BlockingLookup(systemLookup);
}

// What the helper thread hands back. Shared, so that a caller that gave up
// on a stop can leave while the helper still runs.
struct PendingLookup {
  int doneFd = -1;
  std::mutex mutex;  // guards the three results
  bool found = false;
  in_addr address{};
  std::string error;
  ~PendingLookup() {
    if (doneFd >= 0) ::close(doneFd);
  }
};

}  // namespace

void setBlockingLookup(BlockingLookup lookup) {
  std::lock_guard lock(lookupMutex);
  installedLookup = std::move(lookup);
}

HostAddress lookupHost(const std::string& host, const StopSignal* stop) {
  HostAddress r;
  if (host.empty()) {
    r.error = "no host";
    return r;
  }
  if (inet_pton(AF_INET, host.c_str(), &r.address) == 1) {
    r.outcome = LookupOutcome::Found;
    return r;
  }
  const BlockingLookup lookup = currentLookup();
  if (!stop) {
    r.outcome = lookup(host, r.address, r.error) ? LookupOutcome::Found : LookupOutcome::Failed;
    return r;
  }
  if (stop->requested()) {
    r.outcome = LookupOutcome::Stopped;
    return r;
  }

  auto pending = std::make_shared<PendingLookup>();
  pending->doneFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (pending->doneFd < 0) {
    r.error = std::string("eventfd: ") + std::strerror(errno);
    return r;
  }
  try {
    // Detached: a look-up that never answers must not hold up the caller's
    // stop; the helper ends on its own when the look-up finally returns.
    std::thread([pending, lookup, host] {
      in_addr address{};
      std::string error;
      const bool found = lookup(host, address, error);
      {
        std::lock_guard lock(pending->mutex);
        pending->found = found;
        pending->address = address;
        pending->error = std::move(error);
      }
      const std::uint64_t one = 1;
      [[maybe_unused]] ssize_t n = ::write(pending->doneFd, &one, sizeof one);
    }).detach();
  } catch (const std::system_error& e) {
    r.error = std::string("cannot start the host look-up: ") + e.what();
    return r;
  }

  while (true) {
    pollfd fds[2] = {{pending->doneFd, POLLIN, 0}, {stop->fd(), POLLIN, 0}};
    const int rc = ::poll(fds, 2, -1);
    if (rc < 0 && errno != EINTR) {
      r.error = std::string("poll: ") + std::strerror(errno);
      return r;
    }
    if (stop->requested()) {
      r.outcome = LookupOutcome::Stopped;
      return r;
    }
    if (rc > 0 && (fds[0].revents & POLLIN)) break;
  }
  std::lock_guard lock(pending->mutex);
  r.outcome = pending->found ? LookupOutcome::Found : LookupOutcome::Failed;
  r.address = pending->address;
  r.error = pending->error;
  return r;
}

}  // namespace tarvix
