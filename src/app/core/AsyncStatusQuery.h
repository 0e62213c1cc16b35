#pragma once
// Status queries that wait off the calling thread. Every query runs on its
// own thread with a fresh UDP client (a new socket on a new local port), so a
// late answer to an earlier query is never read as the answer to a later one.
// Starting a query stops the ones still waiting: only the newest counts.
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "protocol/UdpClient.h"

namespace tarvix {

class AsyncStatusQuery {
 public:
  // Called on the query's thread with the query's ticket and its reply
  // (empty for no answer, a failure or a stop).
  using Done = std::function<void(std::uint64_t ticket, std::string reply)>;

  AsyncStatusQuery() = default;
  // Stops every query and waits for its thread.
  ~AsyncStatusQuery();
  AsyncStatusQuery(const AsyncStatusQuery&) = delete;
  AsyncStatusQuery& operator=(const AsyncStatusQuery&) = delete;

  // Stops the running queries and starts one to host:port. Returns its ticket.
  std::uint64_t start(std::string host, std::string port, int timeoutMs, Done done);
  // Stops the running queries without starting another; returns the new
  // newest ticket, which belongs to no query.
  std::uint64_t cancel();
  // The ticket of the newest start() or cancel().
  std::uint64_t newest() const { return newest_.load(); }
  // Whether the newest query is still waiting.
  bool pending() const;

 private:
  struct Job {
    std::uint64_t ticket = 0;
    StopSignal stop;
    std::atomic<bool> finished{false};
    std::thread thread;
  };
  void stopRunningLocked();
  void reapLocked();

  mutable std::mutex mutex_;
  std::list<std::unique_ptr<Job>> jobs_;
  std::atomic<std::uint64_t> newest_{0};
};

}  // namespace tarvix
