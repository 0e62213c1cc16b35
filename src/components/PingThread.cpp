#include "components/PingThread.h"

#include <arpa/inet.h>
#include <atomic>
#include <map>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>

#include "components/IcmpEcho.h"
#include "protocol/UdpClient.h"

namespace tarvix {

namespace {

std::atomic<bool> terminated{false};

struct PingRegistry {
  std::mutex mutex;
  std::uint64_t nextId = 1;
  std::vector<std::uint64_t> ids;       // every thread registered since the last quit
  std::map<std::uint64_t, PingThread*> live;  // threads not destroyed yet
};

PingRegistry& registry() {
  static PingRegistry r;
  return r;
}

std::string trimBlanks(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

}  // namespace

bool applicationTerminated() { return terminated.load(std::memory_order_acquire); }
void setApplicationTerminated(bool t) { terminated.store(t, std::memory_order_release); }

PingThread::PingThread(QObject* parent) : QThread(parent), quit_(std::make_unique<StopSignal>()) {
  PingRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  id_ = r.nextId++;
  r.ids.push_back(id_);
  r.live[id_] = this;
}

PingThread::~PingThread() {
  {
    PingRegistry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live.erase(id_);
  }
  Quit();
  wait();
}

void PingThread::Quit() { quit_->request(); }

void PingThread::run() {
  std::unique_ptr<IcmpEcho> icmp;
  try {
    icmp = std::make_unique<IcmpEcho>();
  } catch (const IcmpError&) {
    // No echo service: the ping failed without a reason.
    ReplyCount = 0;
    return;
  }
  if (DataSize != 0) icmp->DataSize = static_cast<std::uint16_t>(DataSize);
  if (TimeOut != 0) icmp->TimeOut = TimeOut;
  if (TTL != 0) icmp->TTL = static_cast<std::uint8_t>(TTL);
  icmp->IPFlags = static_cast<std::uint8_t>(IPFlags);
  icmp->SetQuitFd(quit_->fd());
  icmp->SetAddress(trimBlanks(Host));
  if (quit_->requested()) return;
  ReplyCount = static_cast<std::uint32_t>(icmp->Ping());
  TargetIP = icmp->ResolvedIP();
  if (ReplyCount != 0) {
    ErrorCode = 0;
    in_addr a{};
    a.s_addr = icmp->LastReply.Address;
    char buf[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, buf, sizeof buf);
    ReplyIP = buf;
    ReplyName = ReplyIP;
    ReplyStatus = icmp->LastReply.Status;
    RoundTripTime = icmp->LastReply.RoundTripTime;
    ReplyDataSize = icmp->LastReply.DataSize;
    if (ResolveReplyName && icmp->LastReply.Address != 0) {
      sockaddr_in sa{};
      sa.sin_family = AF_INET;
      sa.sin_addr = a;
      char host[NI_MAXHOST] = {};
      if (::getnameinfo(reinterpret_cast<sockaddr*>(&sa), sizeof sa, host, sizeof host, nullptr,
                        0, NI_NAMEREQD) == 0)
        ReplyName = host;
    }
  } else {
    ErrorCode = icmp->LastStatus;
    ErrorText = icmp->errorText();
  }
}

std::vector<std::uint64_t> PingThread::Registry() {
  auto& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.ids;
}

int PingThread::LiveCount() {
  auto& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return static_cast<int>(r.live.size());
}

void PingThread::PostQuitToAll() {
  std::vector<PingThread*> threads;
  {
    auto& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (std::uint64_t id : r.ids) {
      auto it = r.live.find(id);
      if (it != r.live.end()) threads.push_back(it->second);
    }
    r.ids.clear();
  }
  for (PingThread* t : threads) t->Quit();
  // Threads are destroyed on the UI thread only, which is this one, so the
  // pointers stay valid while we wait; a quit echo ends at once.
  for (PingThread* t : threads) t->wait();
}

}  // namespace tarvix
