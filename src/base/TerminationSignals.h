#pragma once
// SIGINT and SIGTERM as a stop request. The signals are blocked in the
// constructing thread, and so in every thread it starts afterwards, and read
// from a signalfd by a helper thread that requests the stop.
#include <atomic>
#include <thread>

#include "base/StopSignal.h"

namespace tarvix {

class TerminationSignals {
 public:
  // Construct before any other thread is started, so none of them can
  // receive the signals and end the process without a clean stop.
  explicit TerminationSignals(StopSignal& target);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // The signal that requested the stop, 0 for none.
  int received() const { return received_.load(); }

 private:
  void watch(StopSignal& target);

  int fd_ = -1;
  StopSignal quit_;
  std::atomic<int> received_{0};
  std::thread thread_;
};

}  // namespace tarvix
