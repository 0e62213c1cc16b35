#pragma once
// Watches and "join when a slot frees": which watched server to ask next
// within the query budget, and what each reply means. The caller asks the
// server (a status query) and hands the reply back; the planner keeps no
// clock of its own, every call takes the time in milliseconds.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

enum class WatchKind { SlotFree, Players, Buddy };

struct Watch {
  WatchKind kind = WatchKind::SlotFree;
  std::string server;  // the name in the server list
  std::string ip;
  std::string port;
  int players = 0;  // Players: at least this many
  bool operator==(const Watch&) const = default;
};

// "a slot is free on Alpha", "Alpha has at least 8 players", ...
std::string watchText(const Watch& w);
// A watch as one line of tarvix.ini: "slot|0|ip|port|name" ("players",
// "buddy"); the name comes last and may hold anything but a line break.
std::string watchLine(const Watch& w);
// Nothing for a line that is not one.
std::optional<Watch> parseWatchLine(std::string_view line);

struct WatchEvent {
  enum class Kind { Alert, Silent, Join, GaveUp, Cancelled };
  Kind kind = Kind::Alert;
  std::string server;
  std::string text;
  bool operator==(const WatchEvent&) const = default;
};

struct WatchTiming {
  long long watchEveryMs = 15000;
  long long joinEveryMs = 2000;
  // Never two queries closer than this, for every watch and the join together.
  long long minGapMs = 1000;
};

// A server to ask.
struct WatchTarget {
  std::string ip;
  std::string port;
  bool operator==(const WatchTarget&) const = default;
};

class WatchPlanner {
 public:
  explicit WatchPlanner(WatchTiming timing = {}) : timing_(timing) {}

  const std::vector<Watch>& watches() const { return watches_; }
  // False (nothing added) when the same watch is there already.
  bool add(const Watch& watch, long long nowMs);
  void remove(std::size_t index);

  // Starts waiting for a slot on `server`, giving up after giveUpMs
  // (`minutes` names it in the text). False while another join waits.
  bool startJoin(const Watch& server, long long nowMs, long long giveUpMs, int minutes);
  const std::optional<Watch>& join() const { return join_; }
  long long joinEndsMs() const { return joinEndMs_; }
  // The join's end by the user; no event without a join.
  std::vector<WatchEvent> cancelJoin();

  bool idle() const { return watches_.empty() && !join_; }
  // The server to ask now, or nothing while none is due or the budget is
  // spent; a returned target counts against the budget.
  std::optional<WatchTarget> next(long long nowMs);
  // When next() may return a target; -1 when idle.
  long long nextDueMs() const;
  // The reply of `target` (empty: no answer) and the buddy and clan-tag hits
  // among its players (caption, as the buddy view shows them).
  std::vector<WatchEvent> answered(const WatchTarget& target, std::string_view reply,
                                   const std::vector<std::string>& buddyHits, long long nowMs);
  // The join's give-up, when its time is over.
  std::vector<WatchEvent> tick(long long nowMs);

 private:
  struct State {
    long long dueMs = 0;
    bool fired = false;  // the condition held at the last answer
    int silences = 0;    // queries without an answer in a row
    std::vector<std::string> hits;
  };
  void evaluate(std::size_t i, std::string_view reply, const std::vector<std::string>& hits,
                std::vector<WatchEvent>& events);

  WatchTiming timing_;
  std::vector<Watch> watches_;
  std::vector<State> states_;
  std::optional<Watch> join_;
  State joinState_;
  long long joinEndMs_ = 0;
  int joinMinutes_ = 0;
  long long lastAskMs_ = -1;
};

}  // namespace tarvix
