#include "base/TerminationSignals.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tarvix {

namespace {

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

TerminationSignals::TerminationSignals(StopSignal& target) {
  const sigset_t set = stopSignals();
  if (int rc = pthread_sigmask(SIG_BLOCK, &set, nullptr); rc != 0)
    throw std::runtime_error(std::string("pthread_sigmask: ") + std::strerror(rc));
  fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
  if (fd_ < 0) throw std::runtime_error(std::string("signalfd: ") + std::strerror(errno));
  thread_ = std::thread([this, &target] { watch(target); });
}

TerminationSignals::~TerminationSignals() {
  quit_.request();
  if (thread_.joinable()) thread_.join();
  ::close(fd_);
}

void TerminationSignals::watch(StopSignal& target) {
  pollfd fds[2] = {{fd_, POLLIN, 0}, {quit_.fd(), POLLIN, 0}};
  while (!quit_.requested()) {
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
    signalfd_siginfo info;
    if ((fds[0].revents & POLLIN) && ::read(fd_, &info, sizeof info) == sizeof info) {
      received_.store(static_cast<int>(info.ssi_signo));
      target.request();
    }
  }
}

}  // namespace tarvix
