#pragma once
// A setting that the UI thread writes and worker threads read.
#include <mutex>

namespace tarvix {

template <typename T>
class SharedValue {
 public:
  SharedValue() = default;
  SharedValue(const T& v) : value_(v) {}
  SharedValue& operator=(const T& v) {
    std::lock_guard lock(mutex_);
    value_ = v;
    return *this;
  }
  T get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }
  operator T() const { return get(); }

 private:
  mutable std::mutex mutex_;
  T value_{};
};

}  // namespace tarvix
