#pragma once
// Many status queries in flight at once, each from a UDP socket of its own on
// a port the system chooses, one at a time per server. A reply counts only on its query's socket
// and only from the address and port asked: no server can answer for another, and a late or
// repeated reply finds its socket closed, so it is never taken for a later query's, even one to the
// same server. A server silent for the time-out is asked again, from a new socket, up to the number
// of tries.
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
  // Queries in flight never exceed maxInFlight (at least 1), nor what the
  // open-file limit leaves room for: each holds a descriptor while it waits.
  // Each query sends the request up to `tries` times.
  StatusQueryPool(int maxInFlight, int tries, const StopSignal* stop = nullptr);
  ~StatusQueryPool();
  StatusQueryPool(const StatusQueryPool&) = delete;
  StatusQueryPool& operator=(const StatusQueryPool&) = delete;

  // Descriptors the open-file limit keeps for the rest of the program.
  static constexpr int kSpareDescriptors = 64;

  bool hasRoom() const { return active_ < maxInFlight_; }
  int active() const { return active_; }
  // maxInFlight as bounded by the open-file limit.
  int maxInFlight() const { return maxInFlight_; }

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
    sockaddr_in to{};
    int fd = -1;  // the socket of the current try
    int triesSent = 0;
    int timeoutMs = 0;
    std::uint64_t serial = 0;  // of the current try, to tell stale deadlines
  };
  struct Deadline {
    Clock::time_point at;
    int id;
    std::uint64_t serial;
    bool operator>(const Deadline& o) const { return at > o.at; }
  };

  enum class Launch { Sent, NoDescriptor, Failed };
  // Sends the next try of q from a new socket. NoDescriptor when the system
  // has none left while other queries hold some.
  Launch sendTry(Query& q, std::string& error);
  // Sends q's next try or queues it for a descriptor; false when it failed.
  bool tryLaunch(Query& q, std::string& error);
  // As tryLaunch, completing a query that failed.
  void launch(Query q);
  // Counts a query as completed.
  void record(int id, UdpResult result);
  // Lets the next query to the server of the completed query `id` go.
  void releaseEndpoint(int id);
  // Takes a query out of the sent ones and closes its socket.
  Query takeQuery(std::unordered_map<int, Query>::iterator it);
  void complete(int id, UdpResult result);
  void fail(int id, std::string error);
  void receive(int fd);
  void expire();
  void placeWaiting();

  int maxInFlight_;
  const int tries_;
  const StopSignal* stop_;
  int epoll_ = -1;
  std::string epollError_;
  std::unordered_map<int, Query> queries_;    // with a socket, by id
  std::unordered_map<int, int> socketOwner_;  // socket -> query id
  std::deque<Query> waiting_;                 // for a descriptor
  // Servers with a query under way (by address and port), each with the
  // queries to it that wait their turn; the server of each query under way.
  std::unordered_map<std::uint64_t, std::deque<Query>> endpoints_;
  std::unordered_map<int, std::uint64_t> endpointOf_;
  std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines_;
  std::vector<PoolReply> completed_;
  std::uint64_t serial_ = 0;
  int active_ = 0;
  bool placing_ = false;
};

}  // namespace tarvix
