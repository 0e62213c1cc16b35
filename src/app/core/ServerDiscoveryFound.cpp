#include "app/core/ServerDiscoveryFound.h"

#include <algorithm>

#include "protocol/GameSpyStatus.h"
#include "protocol/StatusReply.h"

namespace tarvix {

std::string foundEdition(const FoundServer& s) {
  return std::string(s.gameName == "mohaas" ? kEditionSpearhead : kEditionBase);
}

namespace {

// Offset of the game port below the query port when a reply names none.
constexpr int kQueryPortOffset = 97;

std::uint64_t orderOf(std::size_t source, std::size_t position) {
  return std::uint64_t{source} << 32 | (position & 0xFFFFFFFFu);
}

FoundServer foundAt(const ListedServer& s) {
  FoundServer f;
  f.ip = dottedAddress(s.ip);
  f.queryPort = s.port;
  f.gamePort =
      s.port > kQueryPortOffset ? static_cast<std::uint16_t>(s.port - kQueryPortOffset) : s.port;
  return f;
}

}  // namespace

void fillFound(FoundServer& f, const GameSpyAnswer& answer) {
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

std::pair<std::size_t, bool> FoundServers::claim(const ListedServer& server, std::uint64_t order) {
  const std::uint64_t key = std::uint64_t{server.ip} << 16 | server.port;
  const auto [it, isNew] = index_.try_emplace(key, entries_.size());
  if (isNew) {
    entries_.push_back({foundAt(server), order});
  } else {
    std::uint64_t& kept = entries_[it->second].order;
    kept = std::min(kept, order);
  }
  return {it->second, isNew};
}

std::size_t FoundServers::addListed(std::size_t source, const std::vector<ListedServer>& servers,
                                    GameSpyFeed* feed) {
  std::lock_guard lock(mu_);
  std::vector<ListedServer> fresh;
  for (std::size_t i = 0; i < servers.size(); ++i) {
    const auto [entry, isNew] = claim(servers[i], orderOf(source, i));
    if (!isNew) continue;
    if (!feed) {
      if (found_) found_(entries_[entry].server);
      continue;
    }
    fresh.push_back(servers[i]);
    queried_.push_back(entry);
  }
  // Under the lock, so the feed numbers the queries as queried_ does.
  if (feed && !fresh.empty()) feed->add(fresh);
  return fresh.size();
}

void FoundServers::addAnswered(std::size_t source, const ListedServer& server,
                               const GameSpyAnswer& answer) {
  std::lock_guard lock(mu_);
  const auto [entry, isNew] = claim(server, orderOf(source, lanArrivals_++));
  if (!isNew) return;
  fillFound(entries_[entry].server, answer);
  if (found_) found_(entries_[entry].server);
}

void FoundServers::answer(std::size_t queryIndex, const GameSpyAnswer& answer) {
  std::lock_guard lock(mu_);
  FoundServer& server = entries_[queried_.at(queryIndex)].server;
  fillFound(server, answer);
  if (found_) found_(server);
}

std::vector<FoundServer> FoundServers::takeInOrder() {
  std::lock_guard lock(mu_);
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.order < b.order; });
  std::vector<FoundServer> servers;
  servers.reserve(entries_.size());
  for (Entry& e : entries_) servers.push_back(std::move(e.server));
  entries_.clear();
  index_.clear();
  return servers;
}

}  // namespace tarvix
