#include "store/HistoryRecorder.h"

#include <utility>

namespace tarvix {

std::string historyOffText(const std::string& reason) {
  return "history is not recorded: " + reason;
}

HistoryRecorder::HistoryRecorder(std::string path, Report report, HistoryOptions options)
    : path_(std::move(path)), report_(std::move(report)), options_(options) {
  thread_ = std::thread([this] { run(); });
}

HistoryRecorder::~HistoryRecorder() {
  {
    std::lock_guard lock(mu_);
    ending_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void HistoryRecorder::record(HistoryPass pass) {
  {
    std::lock_guard lock(mu_);
    queue_.push_back(std::move(pass));
  }
  wake_.notify_one();
}

void HistoryRecorder::flush() {
  std::unique_lock lock(mu_);
  idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void HistoryRecorder::run() {
  std::unique_lock lock(mu_);
  while (true) {
    wake_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) break;
    HistoryPass pass = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    write(pass);
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
  idle_.notify_all();
}

void HistoryRecorder::write(const HistoryPass& pass) {
  try {
    if (!history_) history_ = std::make_unique<History>(path_, options_);
    history_->record(pass);
  } catch (const std::exception& e) {
    // Opened afresh for the next pass: the lock may be gone, the disk freed.
    history_.reset();
    if (!reported_ && report_) report_(historyOffText(e.what()));
    reported_ = true;
  }
}

}  // namespace tarvix
