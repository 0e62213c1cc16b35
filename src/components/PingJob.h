#pragma once
// One ICMP echo as background work: the echo runs off the UI thread and its
// result is handed to the receiver on the UI thread. Every ping started is
// registered process-wide, so that shutdown can end them all at once.
#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "components/Background.h"

namespace tarvix {

struct PingRequest {
  std::string host;             // trimmed of blanks before use
  std::uint32_t dataSize = 0;   // 0 keeps the echo's default
  std::uint32_t timeoutMs = 0;  // 0 keeps the echo's default
  std::uint32_t ttl = 0;        // 0 keeps the echo's default
  std::uint32_t ipFlags = 0;
  bool resolveReplyName = false;
};

struct PingResult {
  std::uint32_t replyCount = 0;  // 0: the ping failed
  std::string targetIp;
  std::string replyIp;
  std::string replyName;
  std::uint32_t replyStatus = 0;
  std::uint32_t roundTripMs = 0;
  std::uint16_t replyDataSize = 0;
  std::uint32_t errorCode = 0;
  std::string errorText;
};

// Set once the program has begun to shut down; finishing pings are then
// ignored by the host checker.
bool applicationTerminated();
// Tests clear it again to start over.
void setApplicationTerminated(bool terminated);

// The echo itself, on the calling thread; a stop request ends a waiting echo
// at once.
PingResult runPing(const PingRequest& request, const StopSignal& stop);

// Runs the echo in the background and hands its result to `deliver` on the UI
// thread, unless the pings were quit or `receiver` destroyed first.
BackgroundTask startPing(QObject* receiver, PingRequest request,
                         std::function<void(const PingResult&)> deliver);

// Identifiers of every ping started since start-up or the last quitAllPings().
std::vector<std::uint64_t> startedPings();
// Pings whose echo has not ended yet.
int runningPings();
// Asks every registered ping to end, waits until each echo has ended, and
// empties the registry. Their results are never delivered.
void quitAllPings();

}  // namespace tarvix
