#include "base/BackgroundJobs.h"

namespace tarvix {

BackgroundJobs& BackgroundJobs::instance() {
  static BackgroundJobs jobs;
  return jobs;
}

BackgroundJobs::~BackgroundJobs() { stopAll(); }

std::shared_ptr<BackgroundJob> BackgroundJobs::start(
    std::function<void(const std::shared_ptr<BackgroundJob>&)> body) {
  auto job = std::make_shared<BackgroundJob>();
  std::lock_guard lock(mutex_);
  joinFinished();
  entries_.push_back(Entry{job, std::thread([job, body = std::move(body)] {
                             body(job);
                             job->finished_.store(true, std::memory_order_release);
                           })});
  return job;
}

void BackgroundJobs::stopAll() {
  std::list<Entry> all;
  {
    std::lock_guard lock(mutex_);
    all.swap(entries_);
  }
  for (Entry& e : all) e.job->cancel();
  for (Entry& e : all)
    if (e.thread.joinable()) e.thread.join();
}

std::size_t BackgroundJobs::count() {
  std::lock_guard lock(mutex_);
  joinFinished();
  return entries_.size();
}

void BackgroundJobs::joinFinished() {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->job->finished()) {
      it->thread.join();
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace tarvix
