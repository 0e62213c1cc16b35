#include "components/PingJob.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

#include "components/IcmpEcho.h"

namespace tarvix {

namespace {

std::atomic<bool> terminated{false};

struct PingRegistry {
  std::mutex mutex;
  std::condition_variable ended;
  std::uint64_t nextId = 1;
  std::vector<std::uint64_t> started;               // since the last quit
  std::map<std::uint64_t, BackgroundTask> running;  // echo not ended yet
};

PingRegistry& registry() {
  static PingRegistry r;
  return r;
}

std::string trimBlanks(const std::string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  const std::size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

void pingEnded(std::uint64_t id) {
  PingRegistry& r = registry();
  {
    std::lock_guard lock(r.mutex);
    r.running.erase(id);
  }
  r.ended.notify_all();
}

}  // namespace

bool applicationTerminated() { return terminated.load(std::memory_order_acquire); }
void setApplicationTerminated(bool t) { terminated.store(t, std::memory_order_release); }

PingResult runPing(const PingRequest& request, const StopSignal& stop) {
  PingResult result;
  std::unique_ptr<IcmpEcho> icmp;
  try {
    icmp = std::make_unique<IcmpEcho>();
  } catch (const IcmpError&) {
    // No echo service: the ping failed without a reason.
    return result;
  }
  if (request.dataSize != 0) icmp->dataSize = static_cast<std::uint16_t>(request.dataSize);
  if (request.timeoutMs != 0) icmp->timeoutMs = request.timeoutMs;
  if (request.ttl != 0) icmp->ttl = static_cast<std::uint8_t>(request.ttl);
  icmp->ipFlags = static_cast<std::uint8_t>(request.ipFlags);
  icmp->setStop(&stop);
  icmp->setAddress(trimBlanks(request.host));
  if (stop.requested()) return result;
  result.replyCount = static_cast<std::uint32_t>(icmp->ping());
  result.targetIp = icmp->resolvedIp();
  if (result.replyCount == 0) {
    result.errorCode = icmp->lastStatus;
    result.errorText = icmp->errorText();
    return result;
  }
  in_addr a{};
  a.s_addr = icmp->lastReply.address;
  char buf[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a, buf, sizeof buf);
  result.replyIp = buf;
  result.replyName = result.replyIp;
  result.replyStatus = icmp->lastReply.status;
  result.roundTripMs = icmp->lastReply.roundTripMs;
  result.replyDataSize = icmp->lastReply.dataSize;
  if (request.resolveReplyName && icmp->lastReply.address != 0) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr = a;
    char host[NI_MAXHOST] = {};
    if (::getnameinfo(reinterpret_cast<sockaddr*>(&sa), sizeof sa, host, sizeof host, nullptr, 0,
                      NI_NAMEREQD) == 0)
      result.replyName = host;
  }
  return result;
}

BackgroundTask startPing(QObject* receiver, PingRequest request,
                         std::function<void(const PingResult&)> deliver) {
  PingRegistry& r = registry();
  std::uint64_t id = 0;
  {
    std::lock_guard lock(r.mutex);
    id = r.nextId++;
    r.started.push_back(id);
    r.running.emplace(id, BackgroundTask());
  }
  BackgroundTask task = runInBackground(
      receiver,
      [id, request = std::move(request)](const StopSignal& stop) {
        PingResult result = runPing(request, stop);
        pingEnded(id);
        return result;
      },
      std::move(deliver));
  std::lock_guard lock(r.mutex);
  // A ping that already ended is not registered again.
  if (auto it = r.running.find(id); it != r.running.end()) it->second = task;
  return task;
}

std::vector<std::uint64_t> startedPings() {
  PingRegistry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.started;
}

int runningPings() {
  PingRegistry& r = registry();
  std::lock_guard lock(r.mutex);
  return static_cast<int>(r.running.size());
}

void quitAllPings() {
  PingRegistry& r = registry();
  std::unique_lock lock(r.mutex);
  r.started.clear();
  for (auto& [id, task] : r.running) task.cancel();
  // A quit echo ends at once.
  r.ended.wait(lock, [&r] { return r.running.empty(); });
}

}  // namespace tarvix
