#pragma once
// The program's timers, pauses and log timestamps go through Clock, so tests
// run them scaled down and check their order rather than their length.
#include <chrono>
#include <memory>

namespace tarvix {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::system_clock::time_point now() const {
    return std::chrono::system_clock::now();
  }
  // Real milliseconds for a nominal interval or pause.
  virtual int scaled(int nominalMs) const { return nominalMs; }
};

Clock& clock();
// Installs `c` (not owned); nullptr restores the real clock.
void setClock(Clock* c);

// Scales every interval by num/den (a test clock).
class ScaledClock : public Clock {
 public:
  ScaledClock(int num, int den) : num_(num), den_(den) {}
  int scaled(int nominalMs) const override {
    long long v = static_cast<long long>(nominalMs) * num_ / den_;
    return v < 1 ? 1 : static_cast<int>(v);
  }

 private:
  int num_, den_;
};

}  // namespace tarvix
