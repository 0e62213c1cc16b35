#pragma once
// Hands each finished pass to the history file on a thread of its own, so
// that no scan and no window waits for the disk. A file that cannot be
// opened or written (locked, damaged, a full disk, refused by the data
// folder's rules) is reported once; its passes are dropped and the next
// pass tries the file again.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "store/History.h"

namespace tarvix {

class HistoryRecorder {
 public:
  // `report` gets the one message, on the recorder's thread.
  using Report = std::function<void(const std::string& message)>;
  HistoryRecorder(std::string path, Report report, HistoryOptions options = {});
  // Writes what is queued, then ends its thread.
  ~HistoryRecorder();
  HistoryRecorder(const HistoryRecorder&) = delete;
  HistoryRecorder& operator=(const HistoryRecorder&) = delete;

  void record(HistoryPass pass);
  // Waits until every pass handed over so far is written or dropped.
  void flush();

 private:
  void run();
  void write(const HistoryPass& pass);

  const std::string path_;
  const Report report_;
  const HistoryOptions options_;
  std::unique_ptr<History> history_;  // the recorder's thread only
  bool reported_ = false;
  std::mutex mu_;
  std::condition_variable wake_, idle_;
  std::deque<HistoryPass> queue_;
  bool busy_ = false;
  bool ending_ = false;
  std::thread thread_;
};

// The message of a file that cannot be used.
std::string historyOffText(const std::string& reason);

}  // namespace tarvix
