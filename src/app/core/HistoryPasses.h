#pragma once
// What a pass hands to the history: the servers that answered and the
// buddy and clan-tag hits, from a scan's rows, a discovery's servers or one
// status reply.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/core/HeadlessScan.h"
#include "app/core/ServerDiscovery.h"
#include "store/History.h"

namespace tarvix {

// Seconds since the epoch, now.
std::int64_t historyNow();

// The sample of a status reply from `address`, or none when it is not an answer.
std::optional<ServerSample> statusSample(const std::string& address, const std::string& name,
                                         const std::string& reply, int replyMs);

// A scan's rows (those that answered) and hits; a hit's server is a row's
// name, recorded under that row's address.
HistoryPass scanHistory(std::int64_t time, const std::vector<ScanRow>& rows,
                        const std::vector<HeadlessBuddy>& hits);
// The servers a discovery asked that answered, and the hits among them.
HistoryPass browseHistory(std::int64_t time, const DiscoveryResult& found,
                          const std::vector<HeadlessBuddy>& hits);

// Collects a pass's rows and hits as they come (on the pass's thread).
class PassRecording {
 public:
  void addRow(const ScanRow& row);
  void addHit(const std::string& caption, const std::string& server);
  // What was collected, stamped with `time`; starts afresh.
  HistoryPass finish(std::int64_t time);

 private:
  HistoryPass pass_;
  std::unordered_map<std::string, std::string> addressOf_;  // row name -> address
  std::vector<HeadlessBuddy> hits_;
};

}  // namespace tarvix
