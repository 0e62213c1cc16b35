#pragma once
// The program's timers, pauses and log timestamps go through TClock, so tests
// run them scaled down and check their order rather than their length.
#include <chrono>
#include <memory>

namespace tarvix {

class TClock {
 public:
  virtual ~TClock() = default;
  virtual std::chrono::system_clock::time_point now() const {
    return std::chrono::system_clock::now();
  }
  // Real milliseconds for a nominal interval or pause.
  virtual int scaled(int nominalMs) const { return nominalMs; }
};

TClock& clock();
// Installs `c` (not owned); nullptr restores the real clock.
void setClock(TClock* c);

// Scales every interval by num/den (a test clock).
class TScaledClock : public TClock {
 public:
  TScaledClock(int num, int den) : num_(num), den_(den) {}
  int scaled(int nominalMs) const override {
    long long v = static_cast<long long>(nominalMs) * num_ / den_;
    return v < 1 ? 1 : static_cast<int>(v);
  }

 private:
  int num_, den_;
};

}  // namespace tarvix
