#pragma once
// Many status queries in flight at once over a few UDP sockets. A reply is
// told apart by its sender's address and port, so one socket never has two
// queries to the same server in flight; a server that stays silent for the
// time-out is asked again, up to the number of tries.
#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <queue>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/StopSignal.h"
#include "protocol/UdpClient.h"

namespace tarvix {

struct PoolReply {
  int id = 0;
  // Ok with the datagram; TimedOut after the last try; Failed for an address
  // that cannot be used, a socket failure, or a datagram that is empty or
  // larger than kReceiveBufferSize.
  UdpResult result;
};

class StatusQueryPool {
 public:
  // Queries in flight never exceed maxInFlight (at least 1). Each query sends
  // the request up to `tries` times. Uses at most kMaxSockets sockets, fewer
  // when the open-file limit is low.
  StatusQueryPool(int maxInFlight, int tries, const StopSignal* stop = nullptr);
  ~StatusQueryPool();
  StatusQueryPool(const StatusQueryPool&) = delete;
  StatusQueryPool& operator=(const StatusQueryPool&) = delete;

  static constexpr int kMaxSockets = 64;
  // Queries one socket is meant to carry at a time: the replies of that many
  // servers fit into a socket's default receive buffer.
  static constexpr int kQueriesPerSocket = 32;

  bool hasRoom() const { return active_ < maxInFlight_; }
  int active() const { return active_; }
  int socketCount() const { return static_cast<int>(sockets_.size()); }

  // Starts the query `id` (unique among the active ones) of host:port, each
  // try waiting timeoutMs. The host is dotted IPv4 or a name looked up at
  // once. A query that cannot be sent completes at once as Failed.
  void start(int id, std::string_view host, std::string_view port, int timeoutMs);
  // Queries completed since the last call, in the order they completed.
  std::vector<PoolReply> takeCompleted();
  // Returns at once when completed queries wait to be taken; otherwise waits
  // for a datagram, the next time-out or the stop signal, and handles them.
  // False when the stop signal was requested.
  bool wait();

 private:
  using Clock = std::chrono::steady_clock;
  struct Query {
    int id = 0;
    std::uint64_t key = 0;  // sender address and port
    sockaddr_in to{};
    int socket = -1;  // index into sockets_, -1 while waiting for one
    int triesSent = 0;
    int timeoutMs = 0;
    std::uint64_t serial = 0;  // of the last try, to tell stale deadlines
  };
  struct Deadline {
    Clock::time_point at;
    int id;
    std::uint64_t serial;
    bool operator>(const Deadline& o) const { return at > o.at; }
  };
  struct Socket {
    int fd = -1;
    std::unordered_map<std::uint64_t, int> inFlight;  // sender key -> query id
  };

  void place(Query q);
  void sendTry(Query& q);
  void complete(int id, UdpResult result);
  void fail(int id, std::string error);
  void drain(Socket& s);
  void drainAll();
  void expire();
  void placeWaiting();

  const int maxInFlight_;
  const int tries_;
  const StopSignal* stop_;
  std::vector<Socket> sockets_;
  std::string socketError_;
  std::size_t nextSocket_ = 0;
  std::unordered_map<int, Query> queries_;  // sent, by id
  std::deque<Query> waiting_;               // every socket has its server in flight
  std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines_;
  std::vector<PoolReply> completed_;
  std::uint64_t serial_ = 0;
  int active_ = 0;
  int sendsSinceDrain_ = 0;
};

}  // namespace tarvix
