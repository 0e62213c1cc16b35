#pragma once
// Many status queries in flight at once, each from a UDP socket of its own on
// a port the system chooses. A reply counts only on its query's socket and
// only from the address and port asked: no server can answer for another, and
// once a query completes its socket is closed, so a late or repeated reply is
// never taken for a later query's. A server silent for the time-out is asked
// again on the same socket, up to the number of tries. Queries to an address
// and port that another query is asking share its request and its answer.
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
#include "protocol/QueryBudget.h"
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
  // Sockets in flight never exceed queriesInFlight(maxInFlight) (QueryBudget.h).
  // Each query sends the request up to `tries` times.
  StatusQueryPool(int maxInFlight, int tries, const StopSignal* stop = nullptr);
  ~StatusQueryPool();
  StatusQueryPool(const StatusQueryPool&) = delete;
  StatusQueryPool& operator=(const StatusQueryPool&) = delete;

  // Room for a query of its own socket.
  bool hasRoom() const { return sockets_ < maxInFlight_; }
  // Queries started and not completed, shared ones included.
  int active() const { return active_; }
  int maxInFlight() const { return maxInFlight_; }

  // Starts the query `id` (unique among the active ones) of host:port, each
  // try waiting timeoutMs from its own send. The host is dotted IPv4 or a
  // name looked up at once. A query that cannot be sent completes at once as
  // Failed.
  void start(int id, std::string_view host, std::string_view port, int timeoutMs);
  // Queries completed since the last call, in the order they completed.
  std::vector<PoolReply> takeCompleted();
  // Returns at once when completed queries wait to be taken; otherwise waits
  // for a datagram, the next time-out or the stop signal, and handles every
  // one that is ready. False when the stop signal was requested.
  bool wait();
  // Handles the datagrams and time-outs that are due now, without waiting.
  bool poll();

 private:
  using Clock = std::chrono::steady_clock;
  struct Query {
    int id = 0;
    sockaddr_in to{};
    int fd = -1;
    int triesSent = 0;
    int timeoutMs = 0;
    std::uint32_t generation = 0;  // tells a reused slot's events and deadlines apart
    bool live = false;
    std::vector<int> sharers;  // queries of the same address and port
  };
  struct Deadline {
    Clock::time_point at;
    std::uint32_t slot;
    std::uint32_t generation;
    int tries;
    bool operator>(const Deadline& o) const { return at > o.at; }
  };
  enum class Launch { Sent, NoDescriptor, Failed };

  Launch sendTry(std::uint32_t slot, std::string& error);
  Launch openSocket(Query& q, std::uint32_t slot, std::string& error);
  void launch(std::uint32_t slot);
  void record(int id, const UdpResult& result);
  void complete(std::uint32_t slot, UdpResult result);
  void fail(std::uint32_t slot, std::string error);
  // Reads what waits on the slot's socket; true when it completed the query.
  bool receive(std::uint32_t slot);
  bool stale(const Deadline& d) const;
  void expire();
  void placeWaiting();
  // One wait of at most timeoutMs for ready sockets, handling all of them.
  bool handle(int timeoutMs);

  int maxInFlight_;
  const int tries_;
  const StopSignal* stop_;
  int epoll_ = -1;
  std::string epollError_;
  std::vector<Query> slots_;
  std::vector<std::uint32_t> freeSlots_;
  std::deque<std::uint32_t> waiting_;  // for a descriptor
  std::unordered_map<std::uint64_t, std::uint32_t> byEndpoint_;
  std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines_;
  std::vector<PoolReply> completed_;
  int active_ = 0;
  int sockets_ = 0;      // queries holding or waiting for a socket
  int openSockets_ = 0;  // descriptors held
  bool placing_ = false;
};

}  // namespace tarvix
