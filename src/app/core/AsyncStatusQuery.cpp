#include "app/core/AsyncStatusQuery.h"

#include "protocol/StatusQuery.h"

namespace tarvix {

AsyncStatusQuery::~AsyncStatusQuery() {
  std::list<std::unique_ptr<Job>> jobs;
  {
    std::lock_guard lock(mutex_);
    stopRunningLocked();
    jobs.swap(jobs_);
  }
  for (auto& job : jobs)
    if (job->thread.joinable()) job->thread.join();
}

void AsyncStatusQuery::stopRunningLocked() {
  for (auto& job : jobs_) job->stop.request();
}

void AsyncStatusQuery::reapLocked() {
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    if ((*it)->finished.load()) {
      if ((*it)->thread.joinable()) (*it)->thread.join();
      it = jobs_.erase(it);
    } else {
      ++it;
    }
  }
}

std::uint64_t AsyncStatusQuery::start(std::string host, std::string port, int timeoutMs,
                                       Done done) {
  std::lock_guard lock(mutex_);
  stopRunningLocked();
  reapLocked();
  auto job = std::make_unique<Job>();
  job->ticket = ++newest_;
  Job* j = job.get();
  j->thread = std::thread([j, host = std::move(host), port = std::move(port), timeoutMs,
                           done = std::move(done)] {
    std::string reply;
    {
      UdpClient client;
      if (client.open()) {
        UdpResult r = queryStatus(client, host, port, timeoutMs, &j->stop);
        if (r.ok()) reply = std::move(r.bytes);
      }
    }
    if (j->stop.requested()) reply.clear();
    if (done) done(j->ticket, std::move(reply));
    j->finished = true;
  });
  const std::uint64_t ticket = j->ticket;
  jobs_.push_back(std::move(job));
  return ticket;
}

std::uint64_t AsyncStatusQuery::cancel() {
  std::lock_guard lock(mutex_);
  stopRunningLocked();
  reapLocked();
  return ++newest_;
}

bool AsyncStatusQuery::pending() const {
  std::lock_guard lock(mutex_);
  for (const auto& job : jobs_)
    if (job->ticket == newest_.load() && !job->finished.load()) return true;
  return false;
}

}  // namespace tarvix
