#pragma once
// The scan-all worker: one pass over the rows of the server view on its own
// thread, querying each server once and collecting buddy and clan-tag hits.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/BuddyMatcher.h"
#include "app/core/ScanView.h"
#include "base/WorkerPass.h"
#include "protocol/QueryBudget.h"
#include "protocol/UdpClient.h"
#include "store/ServerListIndex.h"
#include "store/WatchedFile.h"

namespace tarvix {

class StatusQueryPool;

inline constexpr std::string_view kScanSocketLog = "!! Scanthread Socket does not answer";
inline constexpr std::string_view kScanInterruptLog = "!! Scanthread bad interrupted";

// Requests after the first to a server that stays silent, when asked for.
inline constexpr int kMaxScanRetries = 9;

// Captions of the buddy view rows one player adds: each buddy entry equal
// to the name ignoring case (as written in the file), then, when clan tags
// are on, the player's name once per clan tag it contains.
std::vector<std::string> buddyHits(const std::vector<std::string>& buddies,
                                   const std::vector<std::string>& clantags, bool clantagsOn,
                                   std::string_view playerName);

class ScanPass final : public WorkerPass {
 public:
  // parallelQueries 0: the sequential pass, one server at a time. Otherwise
  // up to that many queries are in flight (at most kMaxParallelQueries); the
  // view sees the same changes in the same order as from the sequential
  // pass. Both ask a server once, and a server silent for the time-out
  // `retries` times more, from the same socket.
  explicit ScanPass(std::shared_ptr<ScanView> view, int parallelQueries = 0, int retries = 0);
  // Stops the pass and waits for its thread.
  ~ScanPass() override;

 private:
  // Runs on the worker's own thread.
  void pass() override;
  void sequentialPass();
  void parallelPass();
  struct Ahead;
  // Starts up to kStartBatch queries of the rows after `ahead`: how many, or
  // -1 when the list could not be read.
  int startBatch(std::deque<Ahead>& ahead, int& next, StatusQueryPool& pool);
  // Writes the rows at the front of `ahead` that are done, in row order.
  void writeDone(std::deque<Ahead>& ahead, int& written, int n);
  // The first and the last changes of a pass, shared by both modes.
  int beginPass();
  void endPass(int n);
  // One view call under the stop guard; throws Stopped after stop().
  template <typename F>
  auto onView(F&& f);

  // Steps of one row shared by both modes, so that they change the view alike.
  void beginRow(int i, int n);
  // The row's address in the list file at `path`; throws FileError when the
  // file cannot be read.
  std::optional<ServerAddress> findServer(const std::string& path, const std::string& host);
  // Writes row i from the server's reply (where: the address queried, if one was found).
  void finishRow(int i, const std::string& host, const std::optional<ServerAddress>& where,
                 UdpResult& reply, int replyMs);
  ScanRow answeredRow(const std::string& host, std::string_view raw);

  std::shared_ptr<ScanView> view_;
  const int parallel_;
  const int retries_;
  UdpClient client_;
  WatchedFile listFile_;
  ServerListIndex listIndex_;
  unsigned long indexedReads_ = 0;
  BuddyMatcher matcher_;
  bool keepReplies_ = true;  // read from the view once per pass
};

}  // namespace tarvix
