#include "app/core/ServerDiscoveryMasters.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "base/Text.h"
#include "protocol/GameSpyValidate.h"

namespace tarvix {

namespace {

std::string masterName(const MasterAddress& m) { return m.host + ":" + std::to_string(m.port); }

struct Explained {
  SourceProblem problem;
  const char* advice;
};

Explained explain(MasterFailure failure) {
  switch (failure) {
    case MasterFailure::CannotResolve:
      return {SourceProblem::CannotResolve, "check the connection and the master's name"};
    case MasterFailure::ConnectionRefused:
      return {SourceProblem::ConnectionRefused,
              "the master is down: try again later or ask another master"};
    case MasterFailure::Unreachable:
      return {SourceProblem::Unreachable, "check the connection; the master may be down"};
    case MasterFailure::TimedOut:
      return {SourceProblem::TimedOut, "the master is busy or slow: try again later"};
    case MasterFailure::CutOff:
      return {SourceProblem::CutOff, "the master is too slow: try again later or ask another"};
    case MasterFailure::Closed:
      return {SourceProblem::Closed, "try again later"};
    case MasterFailure::Refused:
      return {SourceProblem::Refused, "try again later; masters refuse those who ask too often"};
    case MasterFailure::NotAList:
      return {SourceProblem::NotAList, "check that the address is a master server's"};
    case MasterFailure::NoSocket:
      return {SourceProblem::NoResources, "close other programs and try again"};
    default:
      return {SourceProblem::Other, "try again later"};
  }
}

}  // namespace

std::vector<MasterJob> planMasterJobs(const DiscoveryRequest& request,
                                      std::vector<SourceFailure>& failures) {
  std::vector<MasterAddress> masters;
  std::set<std::pair<std::string, std::uint16_t>> seenMasters;
  for (const MasterAddress& m : request.masters)
    if (seenMasters.emplace(lowerAnsi(m.host), m.port).second) masters.push_back(m);
  if (masters.size() > kMaxMasters) {
    failures.push_back({"masters", SourceProblem::Other,
                        std::to_string(masters.size()) + " masters given; only the first " +
                            std::to_string(kMaxMasters) + " are asked",
                        "keep the master list short"});
    masters.resize(kMaxMasters);
  }
  std::vector<std::string> games;
  for (const std::string& g : request.games) {
    if (std::find(games.begin(), games.end(), g) != games.end()) continue;
    if (gameSecretKey(g).empty()) {
      failures.push_back({"games", SourceProblem::Other,
                          "unknown game \"" + escapeControls(g) + "\"",
                          "use mohaa, mohaas or mohaab"});
      continue;
    }
    games.push_back(g);
  }
  std::vector<MasterJob> jobs;
  for (const MasterAddress& m : masters)
    for (const std::string& g : games) jobs.push_back({m, g, {}});
  return jobs;
}

MasterFetching::MasterFetching(std::vector<MasterJob>& jobs, int timeoutMs, const StopSignal& stop,
                               std::function<void(std::size_t)> fetched,
                               std::function<void()> allDone)
    : jobs_(jobs),
      timeoutMs_(timeoutMs),
      stop_(stop),
      fetched_(std::move(fetched)),
      allDone_(std::move(allDone)) {}

MasterFetching::~MasterFetching() { join(); }

std::size_t MasterFetching::start() {
  if (jobs_.empty()) {
    allDone_();
    return 0;
  }
  const std::size_t wanted = std::min(jobs_.size(), kMasterWorkers);
  try {
    while (workers_.size() < wanted) workers_.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // Go on with the threads there are; without any, run the jobs here.
    if (workers_.empty()) work();
  }
  return wanted - workers_.size();
}

void MasterFetching::join() {
  for (std::thread& t : workers_)
    if (t.joinable()) t.join();
}

void MasterFetching::work() {
  for (std::size_t i = next_++; i < jobs_.size(); i = next_++) {
    MasterJob& job = jobs_[i];
    if (stop_.requested()) {
      job.fetch.stopped = true;
    } else {
      job.fetch = fetchMasterList(job.master.host, job.master.port, job.game, timeoutMs_, stop_);
      job.done = true;
      fetched_(i);
    }
    if (++finished_ == jobs_.size()) allDone_();
  }
}

SourceFailure masterFailure(const MasterJob& job) {
  const Explained e = explain(job.fetch.failure);
  return {"master " + masterName(job.master) + " (" + job.game + ")", e.problem, job.fetch.error,
          e.advice};
}

std::string unreachableSummary(const std::vector<MasterJob>& jobs) {
  if (jobs.empty()) return {};
  for (const MasterJob& job : jobs) {
    switch (job.fetch.failure) {
      case MasterFailure::CannotResolve:
      case MasterFailure::ConnectionRefused:
      case MasterFailure::Unreachable:
        continue;
      default:
        return {};
    }
  }
  return "no master could be reached: check the connection; the last fetched list is kept";
}

}  // namespace tarvix
