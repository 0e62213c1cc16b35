#pragma once
// GameSpy \status\ queries over UDP: many listed servers at once, each on a
// socket of its own connected to the server, so only the server queried can
// answer; and one broadcast to a range of ports for the LAN.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/StopSignal.h"
#include "protocol/MasterList.h"

namespace tarvix {

struct GameSpyAnswer {
  bool complete = false;  // every part arrived within the time-out
  bool noSocket = false;  // the query could not be sent: no socket could be had
  std::string text;       // the parts joined (complete only)
  int pingMs = -1;        // from the request to the first part
};

// Targets handed to a running pass from other threads. The pass numbers them
// in the order they were added, from 0.
class GameSpyFeed {
 public:
  GameSpyFeed();
  ~GameSpyFeed();
  GameSpyFeed(const GameSpyFeed&) = delete;
  GameSpyFeed& operator=(const GameSpyFeed&) = delete;

  void add(const std::vector<ListedServer>& targets);
  // No more targets will come.
  void close();
  // Readable when targets or the close have come; -1 when no descriptor
  // could be had (the pass then looks every few milliseconds).
  int fd() const { return fd_; }
  // Moves the targets added since the last call to the end of `into`; false
  // once closed and nothing is left.
  bool take(std::vector<ListedServer>& into);

 private:
  int fd_ = -1;
  std::mutex mu_;
  std::vector<ListedServer> pending_;
  bool closed_ = false;
};

using GameSpyDone = std::function<void(std::size_t, GameSpyAnswer)>;

// Queries every target the feed brings until it is closed, at most
// `parallel` at once, each waiting up to timeoutMs from its own request for
// its whole reply. `done` is called on the caller's thread for each target as
// it finishes. Returns false when the stop signal ended the pass; targets
// not yet finished get no call.
bool queryGameSpyFeed(GameSpyFeed& feed, int parallel, int timeoutMs, const StopSignal& stop,
                      const GameSpyDone& done);
// The same for a fixed set (index into targets).
bool queryGameSpyServers(const std::vector<ListedServer>& targets, int parallel, int timeoutMs,
                         const StopSignal& stop, const GameSpyDone& done);

struct LanAnswer {
  ListedServer from;  // sender address and (query) port
  GameSpyAnswer answer;
};
struct LanSearch {
  std::vector<LanAnswer> servers;  // complete replies, in order of arrival
  std::string error;               // the socket failed; nothing was found
  bool stopped = false;
};
// Sends \status\ to address:port for each port in first..last and takes the
// complete replies arriving within timeoutMs from a sender port in that
// range: from any host when the address is a broadcast address, else from
// that host only. `each` is called with each reply as it completes.
LanSearch searchLan(std::uint32_t address, std::uint16_t firstPort, std::uint16_t lastPort,
                    int timeoutMs, const StopSignal& stop,
                    const std::function<void(const LanAnswer&)>& each = {});

}  // namespace tarvix
