#pragma once
// GameSpy \status\ queries over UDP: many listed servers at once, each on a
// socket of its own connected to the server, so only the server queried can
// answer; and one broadcast to a range of ports for the LAN.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/StopSignal.h"
#include "protocol/MasterList.h"

namespace tarvix {

struct GameSpyAnswer {
  bool complete = false;  // every part arrived within the time-out
  std::string text;       // the parts joined (complete only)
  int pingMs = -1;        // from the request to the first part
};

// Sockets a query pass may hold: `wanted`, bounded by the open-file limit.
int gameSpySocketBudget(int wanted);

// Queries every target, at most `parallel` at once, each waiting up to
// timeoutMs for its whole reply. `done` is called on the caller's thread for
// each target as it finishes (index into targets). Returns false when the
// stop signal ended the pass; targets not yet finished get no call.
bool queryGameSpyServers(const std::vector<ListedServer>& targets, int parallel, int timeoutMs,
                         const StopSignal& stop,
                         const std::function<void(std::size_t, GameSpyAnswer)>& done);

struct LanAnswer {
  ListedServer from;  // sender address and (query) port
  GameSpyAnswer answer;
};
struct LanSearch {
  std::vector<LanAnswer> servers;  // complete replies, in order of arrival
  std::string error;               // the socket failed; nothing was found
  bool stopped = false;
};
// Sends \status\ to address:port for each port in first..last (broadcast
// allowed) and takes the complete replies arriving within timeoutMs from a
// sender port in that range.
LanSearch searchLan(std::uint32_t address, std::uint16_t firstPort, std::uint16_t lastPort,
                    int timeoutMs, const StopSignal& stop);

}  // namespace tarvix
