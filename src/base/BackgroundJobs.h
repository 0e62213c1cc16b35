#pragma once
// Blocking work (a network wait, a pause) on threads of its own. Each job has
// a stop signal that wakes its waits, and can be cancelled: its result is then
// never handed over. Every job's thread is joined by stopAll() or when the
// program ends, so none outlives it.
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "base/StopSignal.h"

namespace tarvix {

class BackgroundJob {
 public:
  const StopSignal& stopSignal() const { return stop_; }
  // Wakes the job's waits and marks its result as unwanted.
  void cancel() { stop_.request(); }
  bool cancelled() const { return stop_.requested(); }
  bool finished() const { return finished_.load(std::memory_order_acquire); }

 private:
  friend class BackgroundJobs;
  StopSignal stop_;
  std::atomic<bool> finished_{false};
};

class BackgroundJobs {
 public:
  // The program's jobs.
  static BackgroundJobs& instance();

  BackgroundJobs() = default;
  ~BackgroundJobs();
  BackgroundJobs(const BackgroundJobs&) = delete;
  BackgroundJobs& operator=(const BackgroundJobs&) = delete;

  // Runs `body` on a new thread.
  std::shared_ptr<BackgroundJob> start(
      std::function<void(const std::shared_ptr<BackgroundJob>&)> body);
  // Cancels every job and waits for its thread.
  void stopAll();
  // Jobs whose thread has not been joined yet.
  std::size_t count();

 private:
  struct Entry {
    std::shared_ptr<BackgroundJob> job;
    std::thread thread;
  };
  void joinFinished();  // under mutex_
  std::mutex mutex_;
  std::list<Entry> entries_;
};

}  // namespace tarvix
