#pragma once
// One master server list exchange over TCP: connect, read the challenge,
// answer it, ask for one game's list and read it to the end.
#include <cstdint>
#include <string>
#include <vector>

#include "base/StopSignal.h"
#include "protocol/MasterList.h"

namespace tarvix {

enum class MasterFailure {
  None,
  UnknownGame,
  CannotResolve,
  ConnectionRefused,
  Unreachable,  // no route, or no connection within the step time-out
  TimedOut,     // connected, then no progress within the step time-out
  CutOff,       // still unfinished when the whole exchange's time ran out
  Closed,       // closed or reset before the exchange was done
  Refused,      // \echo\ or \fatal\ with the master's text
  NotAList,     // bytes that are no list, or a list over the cap
  NoSocket,     // no socket could be had
  Stopped,
  Other,
};

struct MasterFetch {
  bool ok = false;
  bool stopped = false;
  MasterFailure failure = MasterFailure::None;
  std::vector<ListedServer> servers;  // the entries that may be asked (see keepAskable)
  ListedDrops dropped;                // the entries that may not
  std::string error;                  // what went wrong, without the master's name
};

struct MasterLimits {
  std::size_t maxEntries = kMaxListEntries;
};

// Each step (look-up excepted: it ends on stop only), connecting, the
// challenge, the list, waits at most timeoutMs for the master to make
// progress; the whole exchange is cut off after kMasterStepsAllowed such
// time-outs, so a master that trickles bytes cannot hold it up for long.
inline constexpr int kMasterStepsAllowed = 4;

MasterFetch fetchMasterList(const std::string& host, std::uint16_t port, const std::string& game,
                            int timeoutMs, const StopSignal& stop, MasterLimits limits = {});

}  // namespace tarvix
