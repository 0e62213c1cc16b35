#pragma once
// A GameSpy \status\ reply: backslash pairs spread over several datagrams,
// each ending with \queryid\ID.n (n numbering the parts from 1), the last
// part holding \final\. Values are bytes as sent (Windows-1252).
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

inline constexpr std::string_view kGameSpyStatusRequest = "\\status\\";
// Limits for one reply: parts, bytes and players kept.
inline constexpr int kMaxReplyParts = 32;
inline constexpr std::size_t kMaxReplyBytes = 64 * 1024;
inline constexpr int kMaxGameSpyPlayers = 256;

// Puts the parts of one reply back in order. Only parts with the query id of
// the first part seen count; duplicates are ignored; a part numbered outside
// 1..kMaxReplyParts or past the byte limit spoils the reply.
class GameSpyReplyParts {
 public:
  void add(std::string_view datagram);
  // Every part up to the one with \final\ has arrived.
  bool complete() const;
  bool spoiled() const { return spoiled_; }
  // The parts in order, each without its \queryid\ pair.
  std::string text() const;

 private:
  std::map<int, std::string> parts_;
  std::string queryId_;
  bool hasQueryId_ = false;
  int finalPart_ = 0;
  std::size_t bytes_ = 0;
  bool spoiled_ = false;
};

struct GameSpyPlayer {
  std::string name;
  int frags = 0, deaths = 0, ping = 0;
};

struct GameSpyStatus {
  std::string hostName, mapName, gameType, gameName, gameVersion;
  int hostPort = 0;  // 0 when absent or not a port
  int numPlayers = 0, maxPlayers = 0;
  std::vector<GameSpyPlayer> players;  // by player number
};

// Reads the pairs of a reassembled reply; unknown keys are skipped, numbers
// that do not read as numbers are 0.
GameSpyStatus readGameSpyStatus(std::string_view text);

}  // namespace tarvix
