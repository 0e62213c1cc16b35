#include "app/core/ServerDiscovery.h"

#include <arpa/inet.h>

#include <algorithm>
#include <set>
#include <thread>
#include <unordered_set>

#include "base/Text.h"
#include "protocol/GameSpyQuery.h"
#include "protocol/GameSpyStatus.h"
#include "protocol/MasterClient.h"

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

namespace {

// Offset of the game port below the query port when a reply names none.
constexpr int kQueryPortOffset = 97;

std::uint64_t keyOf(const ListedServer& s) { return std::uint64_t{s.ip} << 16 | s.port; }

void fillFrom(FoundServer& f, const GameSpyAnswer& answer) {
  if (!answer.complete) return;
  const GameSpyStatus status = readGameSpyStatus(answer.text);
  f.answered = true;
  f.pingMs = answer.pingMs;
  f.hostName = status.hostName;
  f.mapName = status.mapName;
  f.gameType = status.gameType;
  f.gameName = status.gameName;
  f.gameVersion = status.gameVersion;
  f.numPlayers = status.numPlayers;
  f.maxPlayers = status.maxPlayers;
  if (status.hostPort != 0) f.gamePort = static_cast<std::uint16_t>(status.hostPort);
  for (const GameSpyPlayer& p : status.players)
    f.players.push_back({p.name, p.frags, p.deaths, p.ping});
}

FoundServer foundAt(const ListedServer& s) {
  FoundServer f;
  f.ip = dottedAddress(s.ip);
  f.queryPort = s.port;
  f.gamePort =
      s.port > kQueryPortOffset ? static_cast<std::uint16_t>(s.port - kQueryPortOffset) : s.port;
  return f;
}

struct MasterJob {
  const MasterAddress* master;
  std::string game;
  MasterFetch fetch;
};

std::string masterName(const MasterAddress& m) { return m.host + ":" + std::to_string(m.port); }

// Every master and game at once, each on a thread of its own; the results
// keep the order of the request.
std::vector<MasterJob> fetchAll(const DiscoveryRequest& request, const StopSignal& stop) {
  std::vector<MasterJob> jobs;
  for (const MasterAddress& m : request.masters)
    for (const std::string& game : request.games) jobs.push_back({&m, game, {}});
  std::vector<std::thread> threads;
  threads.reserve(jobs.size());
  for (MasterJob& job : jobs)
    threads.emplace_back([&job, &request, &stop] {
      job.fetch =
          fetchMasterList(job.master->host, job.master->port, job.game, request.timeoutMs, stop);
    });
  for (std::thread& t : threads) t.join();
  return jobs;
}

}  // namespace

DiscoveryResult discoverServers(const DiscoveryRequest& request, const StopSignal& stop,
                                const DiscoveryProgress& progress, const DiscoveryFound& found) {
  auto say = [&](const std::string& text) {
    if (progress) progress(text);
  };
  DiscoveryResult result;
  std::vector<ListedServer> listed;
  std::unordered_set<std::uint64_t> seen;
  // LAN servers come with their status; they are not asked again.
  std::vector<std::pair<ListedServer, GameSpyAnswer>> lanFound;

  std::thread lanThread;
  LanSearch lan;
  if (request.lan) {
    in_addr address{};
    if (::inet_pton(AF_INET, request.lanAddress.c_str(), &address) != 1) {
      result.messages.push_back("LAN: \"" + request.lanAddress + "\" is no IPv4 address");
    } else {
      lanThread = std::thread([&, ip = ntohl(address.s_addr)] {
        lan = searchLan(ip, request.lanFirstPort, request.lanLastPort, request.timeoutMs, stop);
      });
    }
  }
  if (!request.masters.empty()) {
    say("Asking " + std::to_string(request.masters.size()) + " master servers...");
    const std::vector<MasterJob> jobs = fetchAll(request, stop);
    std::set<const MasterAddress*> answered;
    for (const MasterJob& job : jobs) {
      if (job.fetch.stopped) continue;
      if (!job.fetch.ok) {
        result.messages.push_back("master " + masterName(*job.master) + " (" + job.game +
                                  "): " + job.fetch.error);
        continue;
      }
      answered.insert(job.master);
      for (const ListedServer& s : job.fetch.servers)
        if (usableServer(s) && seen.insert(keyOf(s)).second) listed.push_back(s);
    }
    result.sourcesAnswered += static_cast<int>(answered.size());
  }
  if (lanThread.joinable()) {
    lanThread.join();
    if (!lan.error.empty()) {
      result.messages.push_back("LAN: " + lan.error);
    } else if (!lan.stopped) {
      if (lan.servers.empty())
        result.messages.push_back("LAN: no server answered");
      else
        ++result.sourcesAnswered;
    }
    for (LanAnswer& a : lan.servers)
      if (seen.insert(keyOf(a.from)).second) lanFound.emplace_back(a.from, std::move(a.answer));
  }

  result.servers.reserve(listed.size() + lanFound.size());
  for (const ListedServer& s : listed) result.servers.push_back(foundAt(s));
  for (auto& [s, answer] : lanFound) {
    result.servers.push_back(foundAt(s));
    fillFrom(result.servers.back(), answer);
    if (found) found(result.servers.back());
  }
  if (stop.requested() || !request.queryServers || listed.empty()) return result;

  const std::string total = std::to_string(listed.size());
  std::size_t asked = 0;
  say("0 of " + total + " servers asked");
  queryGameSpyServers(listed, std::max(request.parallel, 1), request.timeoutMs, stop,
                      [&](std::size_t i, GameSpyAnswer answer) {
                        fillFrom(result.servers[i], answer);
                        if (found) found(result.servers[i]);
                        say(std::to_string(++asked) + " of " + total + " servers asked");
                      });
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
