#pragma once
// A stop request that wakes blocking waits at once: an eventfd that becomes
// readable on request(), so a wait can poll() it beside a socket.
#include <atomic>

namespace tarvix {

// request() and requested() may be called from any thread.
class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  void request();
  bool requested() const { return requested_.load(std::memory_order_acquire); }
  // Clears a request so the signal can be used again.
  void reset();
  int fd() const { return fd_; }
  // Sleeps up to `ms` milliseconds; returns true when woken by a stop request.
  bool waitFor(int ms) const;

 private:
  int fd_ = -1;
  std::atomic<bool> requested_{false};
};

}  // namespace tarvix
