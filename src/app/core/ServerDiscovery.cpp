#include "app/core/ServerDiscovery.h"

#include <arpa/inet.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#include "app/core/ServerDiscoveryFound.h"
#include "app/core/ServerDiscoveryMasters.h"
#include "base/Text.h"
#include "protocol/GameSpyQuery.h"

namespace tarvix {

const std::vector<MasterAddress>& defaultMasters() {
  static const std::vector<MasterAddress> masters{
      {"master.333networks.com", 28900}, {"master.errorist.eu", 28900},
      {"master.frag-net.com", 28900},    {"master-au.unrealarchive.org", 28900},
      {"master.noccer.de", 28900},
  };
  return masters;
}

bool parseMasterAddress(std::string_view text, MasterAddress& out) {
  std::string_view host = text;
  std::uint16_t port = 28900;
  std::size_t colon = text.rfind(':');
  if (colon != std::string_view::npos) {
    host = text.substr(0, colon);
    long long value = 0;
    if (!parseInt(text.substr(colon + 1), value) || value < 1 || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
  }
  if (host.empty() || hasControlByte(host) || host.find(' ') != std::string_view::npos)
    return false;
  out.host = std::string(host);
  out.port = port;
  return true;
}

bool setLanPorts(DiscoveryRequest& request, int first, int last) {
  if (first < 1 || last > 65535 || first > last) return false;
  request.lanFirstPort = static_cast<std::uint16_t>(first);
  request.lanLastPort = static_cast<std::uint16_t>(last);
  return true;
}

namespace {

// The LAN search, on a thread of its own when one can be had. Its replies
// go to `servers` as they come.
class LanRun {
 public:
  LanRun(const DiscoveryRequest& request, const StopSignal& stop, FoundServers& servers,
         std::size_t source)
      : request_(request), stop_(stop), servers_(servers), source_(source) {}
  ~LanRun() { join(); }
  LanRun(const LanRun&) = delete;
  LanRun& operator=(const LanRun&) = delete;

  void start() {
    in_addr address{};
    if (::inet_pton(AF_INET, request_.lanAddress.c_str(), &address) != 1) {
      failure_ = {"LAN", SourceProblem::BadAddress,
                  "\"" + escapeControls(request_.lanAddress) + "\" is no IPv4 address",
                  "set the LAN address in tarvix.ini to an IPv4 address"};
      return;
    }
    address_ = ntohl(address.s_addr);
    started_ = true;
    try {
      thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      run();  // no thread to be had: search here
    }
  }
  void join() {
    if (thread_.joinable()) thread_.join();
  }
  // After join(): whether the LAN answered, or why not.
  bool answered() const { return started_ && !search_.stopped && !search_.servers.empty(); }
  std::optional<SourceFailure> failure() const {
    if (failure_) return failure_;
    if (!started_ || search_.stopped || !search_.servers.empty()) return std::nullopt;
    if (!search_.error.empty())
      return SourceFailure{"LAN", SourceProblem::Other, search_.error, "try again later"};
    return SourceFailure{"LAN", SourceProblem::NoAnswer, "no server answered",
                         "check that the servers run, and the LAN address and ports"};
  }

 private:
  void run() {
    search_ =
        searchLan(address_, request_.lanFirstPort, request_.lanLastPort, request_.timeoutMs, stop_,
                  [this](const LanAnswer& a) { servers_.addAnswered(source_, a.from, a.answer); });
  }

  const DiscoveryRequest& request_;
  const StopSignal& stop_;
  FoundServers& servers_;
  const std::size_t source_;
  std::uint32_t address_ = 0;
  bool started_ = false;
  std::optional<SourceFailure> failure_;
  LanSearch search_;
  std::thread thread_;
};

// The failures in the request's order, the summary and the message lines.
void explainFailures(const DiscoveryRequest& request, const std::vector<MasterJob>& jobs,
                     const LanRun& lan, DiscoveryResult& result) {
  if (!request.lan && jobs.empty()) result.summary = "no master server to ask";
  if (result.summary.empty()) result.summary = unreachableSummary(jobs);
  for (const MasterJob& job : jobs)
    if (job.done && !job.fetch.ok && !job.fetch.stopped)
      result.failures.push_back(masterFailure(job));
  if (!result.summary.empty()) result.messages.push_back(result.summary);
  const bool mastersSummed = !jobs.empty() && !result.summary.empty();
  for (const SourceFailure& f : result.failures)
    if (!(mastersSummed && f.source.rfind("master ", 0) == 0)) result.messages.push_back(f.line());
  if (std::optional<SourceFailure> f = lan.failure()) {
    result.failures.push_back(*f);
    result.messages.push_back(f->line());
  }
  if (result.privateDropped > 0)
    result.messages.push_back("masters: " + std::to_string(result.privateDropped) +
                              " listed addresses in private networks were not asked");
}

// Masters that delivered a list (each counted once), and what their lists held.
void countSources(const std::vector<MasterJob>& jobs, const LanRun& lan, DiscoveryResult& result) {
  std::set<std::pair<std::string, std::uint16_t>> answered;
  for (const MasterJob& job : jobs) {
    if (!job.fetch.ok) continue;
    answered.emplace(job.master.host, job.master.port);
    result.privateDropped += static_cast<int>(job.fetch.dropped.privates);
  }
  result.sourcesAnswered = static_cast<int>(answered.size()) + (lan.answered() ? 1 : 0);
}

}  // namespace

DiscoveryResult discoverServers(const DiscoveryRequest& request, const StopSignal& stop,
                                const DiscoveryProgress& progress, const DiscoveryFound& found) {
  // Said from the threads that fetch lists and the one that asks servers.
  std::mutex sayMu;
  auto say = [&](const auto& text) {
    std::lock_guard lock(sayMu);
    if (progress) progress(text());
  };
  DiscoveryResult result;
  std::vector<MasterJob> jobs = planMasterJobs(request, result.failures);
  FoundServers servers(found);
  GameSpyFeed feed;
  std::atomic<std::size_t> listed{0}, asked{0};
  std::size_t noSocket = 0;
  auto askedText = [&] {
    return std::to_string(asked.load()) + " of " + std::to_string(listed.load()) + " servers asked";
  };
  MasterFetching fetching(
      jobs, request.masterTimeoutMs, stop,
      [&](std::size_t i) {
        if (!jobs[i].fetch.ok) return;
        listed +=
            servers.addListed(i, jobs[i].fetch.servers, request.queryServers ? &feed : nullptr);
        if (request.queryServers) say(askedText);
      },
      [&] { feed.close(); });
  LanRun lan(request, stop, servers, jobs.size());
  if (request.lan) lan.start();
  if (!jobs.empty())
    say([&] {
      std::set<std::pair<std::string, std::uint16_t>> masters;
      for (const MasterJob& job : jobs) masters.emplace(job.master.host, job.master.port);
      return "Asking " + std::to_string(masters.size()) + " master servers...";
    });
  if (const std::size_t missing = fetching.start(); missing > 0)
    result.failures.push_back({"masters", SourceProblem::NoResources,
                               std::to_string(missing) +
                                   " of the threads for the masters could "
                                   "not be started; fewer masters are asked at once",
                               "close other programs and try again"});
  // Each list's servers are asked as soon as the list is in.
  queryGameSpyFeed(feed, std::max(request.parallel, 1), request.timeoutMs, stop,
                   [&](std::size_t i, GameSpyAnswer answer) {
                     noSocket += answer.noSocket;
                     servers.answer(i, answer);
                     ++asked;
                     say(askedText);
                   });
  fetching.join();
  lan.join();
  if (noSocket > 0)
    result.failures.push_back(
        {"servers", SourceProblem::NoResources,
         std::to_string(noSocket) + " servers were not asked: no socket could be had",
         "close other programs, or ask fewer servers at once"});
  result.servers = servers.takeInOrder();
  countSources(jobs, lan, result);
  explainFailures(request, jobs, lan, result);
  return result;
}

std::vector<ServerEntry> listEntriesFor(const DiscoveryResult& result) {
  std::vector<ServerEntry> entries;
  // A name must not equal any other line of the list: lookups and removals
  // match a name against every line, addresses and ports included.
  std::set<std::string> taken;
  for (const FoundServer& s : result.servers) {
    if (!s.answered) continue;
    taken.insert(s.ip);
    taken.insert(std::to_string(s.gamePort));
  }
  for (const FoundServer& s : result.servers) {
    if (!s.answered) continue;
    std::string address = s.ip + ":" + std::to_string(s.gamePort);
    std::string base = escapeControls(s.hostName);
    if (isBlank(base)) base = address;
    std::string name = base;
    for (int n = 2; taken.count(name) != 0; ++n) name = base + " (" + std::to_string(n) + ")";
    taken.insert(name);
    entries.push_back({name, s.ip, std::to_string(s.gamePort)});
  }
  return entries;
}

}  // namespace tarvix
