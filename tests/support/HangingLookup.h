#pragma once
// Replaces the host name look-up with one that does not answer until the
// object is destroyed (or, so that a faulty caller cannot hang a test for
// good, for kGiveUpMs), as a name server that never replies would; records
// each look-up so a test knows when a worker is waiting in one.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/HostLookup.h"

namespace tarvix::test {

class HangingLookup {
 public:
  static constexpr int kGiveUpMs = 10000;

  HangingLookup() {
    setBlockingLookup([state = state_](const std::string& host, in_addr&, std::string& error) {
      std::unique_lock lock(state->mutex);
      state->hosts.push_back(host);
      state->changed.notify_all();
      state->changed.wait_for(lock, std::chrono::milliseconds(kGiveUpMs),
                              [&] { return state->released; });
      error = "look-up released";
      return false;
    });
  }
  // Lets the helper threads still waiting end, then restores the real look-up.
  ~HangingLookup() {
    {
      std::lock_guard lock(state_->mutex);
      state_->released = true;
    }
    state_->changed.notify_all();
    setBlockingLookup({});
  }
  HangingLookup(const HangingLookup&) = delete;
  HangingLookup& operator=(const HangingLookup&) = delete;

  // Waits until `n` look-ups have begun, at most timeoutMs.
  bool waitForLookups(std::size_t n, int timeoutMs) {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return state_->hosts.size() >= n; });
  }
  std::vector<std::string> hosts() const {
    std::lock_guard lock(state_->mutex);
    return state_->hosts;
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> hosts;
    bool released = false;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tarvix::test
