#pragma once
// The scan-all worker: one pass over the rows of the server view on its own
// thread, querying each server once and collecting buddy and clan-tag hits.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/core/ScanView.h"
#include "protocol/UdpClient.h"

namespace tarvix {

inline constexpr std::string_view kScanSocketLog = "!! Scanthread Socket does not answer";
inline constexpr std::string_view kScanInterruptLog = "!! Scanthread bad interrupted";

// Captions of the buddy view rows one player adds: each buddy entry equal
// to the name ignoring case (as written in the file), then, when clan tags
// are on, the player's name once per clan tag it contains.
std::vector<std::string> BuddyHits(const std::vector<std::string>& buddies,
                                   const std::vector<std::string>& clantags, bool clantagsOn,
                                   std::string_view playerName);

// Where a server's address comes from: every line equal to the name makes
// the next two lines its address and port; the last match wins.
struct TListLookup {
  bool found = false;
  std::string ip;
  std::string port;
};
TListLookup FindServerInLines(const std::vector<std::string>& lines, std::string_view name);

class TScanAll {
 public:
  enum class End { Running, Completed, Stopped, ListUnreadable, Failed };

  explicit TScanAll(std::shared_ptr<TScanView> view);
  // Stops the pass and waits for its thread.
  ~TScanAll();
  TScanAll(const TScanAll&) = delete;
  TScanAll& operator=(const TScanAll&) = delete;

  // Runs the pass on the worker's own thread (IdUDPClient2's owner).
  void start();
  // Abandons the pass at once, also during a query's wait. Once stop()
  // returns, the view receives no further call from this worker.
  void stop();
  // Waits for the thread; false when the thread could not be joined.
  bool join();
  bool finished() const { return end_.load() != End::Running; }
  End end() const { return end_.load(); }
  // The system's identifier of the pass's thread (0 before start or after join).
  unsigned long threadId() {
    return thread_.joinable() ? static_cast<unsigned long>(thread_.native_handle()) : 0;
  }

 private:
  struct Stopped {};
  void run();
  void pass();
  // One view call under the stop guard; throws Stopped after stop().
  template <typename F>
  auto touch(F&& f);
  void matchPlayer(const std::string& name, const std::string& server);

  std::shared_ptr<TScanView> view_;
  std::mutex guard_;
  bool stopped_ = false;  // guarded by guard_
  TStopSignal stop_;
  UdpClient IdUDPClient2;
  std::atomic<End> end_{End::Running};
  std::thread thread_;
};

}  // namespace tarvix
