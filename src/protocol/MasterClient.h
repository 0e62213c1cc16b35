#pragma once
// One master server list exchange over TCP: connect, read the challenge,
// answer it, ask for one game's list and read it to the end.
#include <cstdint>
#include <string>
#include <vector>

#include "base/StopSignal.h"
#include "protocol/MasterList.h"

namespace tarvix {

struct MasterFetch {
  bool ok = false;
  bool stopped = false;
  std::vector<ListedServer> servers;  // as listed, unusable entries included
  std::string error;                  // what went wrong, without the master's name
};

struct MasterLimits {
  std::size_t maxEntries = kMaxListEntries;
};

// Each step (look-up excepted: it ends on stop only), connecting, the
// challenge, the list, waits at most timeoutMs for the master to make
// progress; the whole exchange is cut off after kMasterStepsAllowed such
// time-outs, so a master that trickles bytes cannot hold it up for long.
inline constexpr int kMasterStepsAllowed = 8;

MasterFetch fetchMasterList(const std::string& host, std::uint16_t port, const std::string& game,
                            int timeoutMs, const StopSignal& stop, MasterLimits limits = {});

}  // namespace tarvix
