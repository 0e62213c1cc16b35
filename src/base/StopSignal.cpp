#include "base/StopSignal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tarvix {

StopSignal::StopSignal() {
  fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd_ < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
}

StopSignal::~StopSignal() {
  if (fd_ >= 0) ::close(fd_);
}

void StopSignal::request() {
  requested_.store(true, std::memory_order_release);
  std::uint64_t one = 1;
  // The counter only has to become non-zero; a full counter is still readable.
  [[maybe_unused]] ssize_t n = ::write(fd_, &one, sizeof one);
}

void StopSignal::reset() {
  std::uint64_t value = 0;
  while (::read(fd_, &value, sizeof value) > 0) {
  }
  requested_.store(false, std::memory_order_release);
}

bool StopSignal::waitFor(int ms) const {
  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
  while (!requested()) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    int rc = ::poll(&p, 1, static_cast<int>(left));
    if (rc > 0) return true;
  }
  return true;
}

}  // namespace tarvix
