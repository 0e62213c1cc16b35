#pragma once
// The life of a worker pass on its own thread: start once, stop at once (also
// inside a wait), join. Every effect a pass has outside itself runs through
// guarded(), so none happens once stop() has returned.
#include <functional>
#include <mutex>
#include <thread>

#include "base/StopSignal.h"

namespace tarvix {

class WorkerThread {
 public:
  WorkerThread() = default;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Abandons the pass at once, also during a socket wait or a pause.
  void stop();
  // True once stop() has been called: the pass's effects are over, also
  // those it handed to another thread that have not run yet.
  bool stopped();
  // Waits for the thread; false when the thread could not be joined.
  bool join();
  // The system's identifier of the pass's thread (0 before start or after join).
  unsigned long threadId() {
    return thread_.joinable() ? static_cast<unsigned long>(thread_.native_handle()) : 0;
  }

 protected:
  // Thrown inside the pass once it has been stopped.
  struct Stopped {};

  // Derived destructors call shutdown() first, so the thread never outlives
  // the members it uses.
  ~WorkerThread() = default;
  void shutdown();

  // Runs `body` on the worker's thread; a second launch does nothing.
  void launch(std::function<void()> body);

  // Runs f under the stop guard; throws Stopped after stop().
  template <typename F>
  auto guarded(F&& f) {
    std::lock_guard lock(guard_);
    if (stopped_) throw Stopped{};
    return f();
  }

  // Wakes blocking waits at once on stop().
  const StopSignal& stopSignal() const { return stop_; }
  // Sleeps up to `ms`; throws Stopped when stopped meanwhile.
  void pauseFor(int ms);

 private:
  std::mutex guard_;
  bool stopped_ = false;  // guarded by guard_
  StopSignal stop_;
  std::thread thread_;
};

}  // namespace tarvix
