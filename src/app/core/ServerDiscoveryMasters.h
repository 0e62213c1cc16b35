#pragma once
// The master servers a discovery asks: which (each master and game once,
// at most kMaxMasters masters), on a small fixed pool of threads, and what
// their failures tell the player.
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/core/ServerDiscovery.h"
#include "protocol/MasterClient.h"

namespace tarvix {

// Masters asked at most; further lines are left out with a message.
inline constexpr std::size_t kMaxMasters = 16;
// Master exchanges run at once.
inline constexpr std::size_t kMasterWorkers = 8;

struct MasterJob {
  MasterAddress master;
  std::string game;
  MasterFetch fetch;
  bool done = false;
};

// One job per master and game, masters in the request's order (each host
// and port once, at most kMaxMasters) and games after them; unknown games
// and left-out masters are reported in `failures`.
std::vector<MasterJob> planMasterJobs(const DiscoveryRequest& request,
                                      std::vector<SourceFailure>& failures);

// Runs the jobs on up to kMasterWorkers threads. `fetched(job)` is called on
// the thread that ran the job, as soon as it ends; `allDone()` after the last.
// When no thread can be had, start() runs every job itself.
class MasterFetching {
 public:
  MasterFetching(std::vector<MasterJob>& jobs, int timeoutMs, const StopSignal& stop,
                 std::function<void(std::size_t)> fetched, std::function<void()> allDone);
  ~MasterFetching();
  MasterFetching(const MasterFetching&) = delete;
  MasterFetching& operator=(const MasterFetching&) = delete;

  // Starts the workers; returns the number of threads that could not be had
  // (all of them: the jobs have been run on the caller's thread).
  std::size_t start();
  void join();

 private:
  void work();

  std::vector<MasterJob>& jobs_;
  const int timeoutMs_;
  const StopSignal& stop_;
  const std::function<void(std::size_t)> fetched_;
  const std::function<void()> allDone_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> finished_{0};
  std::vector<std::thread> workers_;
};

// What a job that delivered no list (and was not stopped) tells the player.
SourceFailure masterFailure(const MasterJob& job);

// "no master could be reached: ..." when jobs were run, none delivered a
// list and each failed before it could talk to its master; else empty.
std::string unreachableSummary(const std::vector<MasterJob>& jobs);

}  // namespace tarvix
