#pragma once
// What the scans saw, kept in "history.sqlite" in the data folder (SQLite,
// write-ahead log, readable by its owner only): per pass, each server that
// answered (players, slots, map, edition, reply time) and each buddy or
// clan-tag hit. Samples age into coarser summaries (the least, mean and
// most players of a span), so the file's size is bounded by the tiers
// below, whatever the number of passes.
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvix {

inline constexpr const char* kHistoryFile = "history.sqlite";

// How long each kind of point is kept before it is folded into the next:
// raw samples for a day, 10-minute summaries for a week more, hourly ones
// for five weeks more, daily ones for two years.
struct HistoryTier {
  int span;              // seconds a point covers; 0 for a raw sample
  std::int64_t keepFor;  // seconds from now that points of this tier are kept
};
inline constexpr HistoryTier kHistoryTiers[] = {
    {0, 24 * 3600}, {600, 8 * 24 * 3600}, {3600, 43 * 24 * 3600}, {86400, 730 * 24 * 3600}};

// One server that answered in a pass.
struct ServerSample {
  std::string address;  // "ip:port" as queried: the server's key
  std::string name;     // its name in the list (or its host name)
  int players = 0;
  int maxPlayers = 0;
  std::string map;
  std::string edition;
  int replyMs = -1;
};

// A buddy or clan-tag hit: the caption the buddy view showed, on a server.
struct Sighting {
  std::string name;
  std::string address;
};

struct HistoryPass {
  std::int64_t time = 0;  // seconds since the epoch
  std::vector<ServerSample> servers;
  std::vector<Sighting> sightings;
};

// A raw sample (span 0, count 1) or the summary of `count` samples over
// `span` seconds from `time`: the least, mean and most players seen.
struct HistoryPoint {
  std::int64_t time = 0;
  int span = 0;
  int low = 0;
  double mean = 0;
  int high = 0;
  int maxPlayers = 0;
  std::string map;
  int replyMs = -1;  // raw samples only
  int count = 1;
};

// When a buddy or clan member was last seen on a server.
struct LastSighting {
  std::string name;
  std::int64_t time = 0;
};

// A server's last recorded state.
struct LastState {
  std::int64_t time = 0;
  ServerSample sample;
};

// The file could not be opened, read or written; what() says why.
class HistoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct HistoryOptions {
  bool readOnly = false;
  int busyTimeoutMs = 5000;  // how long a writer waits for another one
};

class History {
 public:
  // Opens the file at `path`, creating it (mode 0600) unless read-only.
  // Refuses a file that is a link, not a regular file or not the user's.
  explicit History(const std::string& path, HistoryOptions options = {});
  ~History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  // Writes the pass in one transaction, then folds what aged past its tier
  // as of the pass's time into the next one (the same transaction).
  void record(const HistoryPass& pass);
  // Folds and removes what aged past its tier as of `now`.
  void age(std::int64_t now);

  // The server's points in [from, to], oldest first, each from the finest
  // tier that holds that time.
  std::vector<HistoryPoint> points(const std::string& address, std::int64_t from, std::int64_t to);
  // Who was seen on the server, latest first.
  std::vector<LastSighting> sightings(const std::string& address);
  // The last state of each address that has one.
  std::map<std::string, LastState> lastStates(const std::vector<std::string>& addresses);

 private:
  struct Impl;
  void write(const HistoryPass& pass);
  void fold(std::int64_t now);
  std::int64_t serverId(const ServerSample& s);
  std::int64_t mapId(const std::string& map);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarvix
