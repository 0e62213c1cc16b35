#include "app/core/WatchPlanner.h"

#include <algorithm>

#include "protocol/StatusReply.h"

namespace tarvix {

namespace {

// Queries without an answer in a row before a watch says its server is silent:
// one lost datagram is no reason for an alert.
constexpr int kSilentAfter = 2;

struct Slots {
  bool answered = false;
  long long players = 0;
  std::string maxClients;
  // A server whose maximum is no number is never taken to have room.
  bool room() const {
    long long max = 0;
    return answered && maxClientsNumber(maxClients, max) && !isFull(players, maxClients);
  }
  std::string text() const { return std::to_string(players) + "/" + maxClients + " players"; }
};

Slots slotsOf(std::string_view reply) {
  Slots s;
  s.answered = scanAnswered(reply);
  if (!s.answered) return s;
  const StatusReply status = readStatusReply(reply);
  s.players = status.scanPlayerCount();
  s.maxClients = status.maxClients;
  return s;
}

}  // namespace

std::string watchText(const Watch& w) {
  switch (w.kind) {
    case WatchKind::SlotFree:
      return "a slot is free on " + w.server;
    case WatchKind::Players:
      return w.server + " has at least " + std::to_string(w.players) + " players";
    case WatchKind::Buddy:
      break;
  }
  return "a buddy or clan member is on " + w.server;
}

namespace {
constexpr std::string_view kKindNames[] = {"slot", "players", "buddy"};
}  // namespace

std::string watchLine(const Watch& w) {
  return std::string(kKindNames[static_cast<int>(w.kind)]) + "|" + std::to_string(w.players) + "|" +
         w.ip + "|" + w.port + "|" + w.server;
}

std::optional<Watch> parseWatchLine(std::string_view line) {
  std::vector<std::string_view> fields;
  while (fields.size() < 4) {
    const std::size_t bar = line.find('|');
    if (bar == std::string_view::npos) return std::nullopt;
    fields.push_back(line.substr(0, bar));
    line.remove_prefix(bar + 1);
  }
  Watch w;
  const auto kind = std::find(std::begin(kKindNames), std::end(kKindNames), fields[0]);
  if (kind == std::end(kKindNames) || fields[2].empty() || fields[3].empty() || line.empty())
    return std::nullopt;
  w.kind = static_cast<WatchKind>(kind - std::begin(kKindNames));
  for (char c : fields[1]) {
    if (c < '0' || c > '9' || w.players > 1000) return std::nullopt;
    w.players = w.players * 10 + (c - '0');
  }
  w.ip = fields[2];
  w.port = fields[3];
  w.server = line;
  return w;
}

bool WatchPlanner::add(const Watch& watch, long long nowMs) {
  if (std::find(watches_.begin(), watches_.end(), watch) != watches_.end()) return false;
  watches_.push_back(watch);
  State fresh;
  fresh.dueMs = nowMs;
  states_.push_back(fresh);
  return true;
}

void WatchPlanner::remove(std::size_t index) {
  if (index >= watches_.size()) return;
  watches_.erase(watches_.begin() + static_cast<long>(index));
  states_.erase(states_.begin() + static_cast<long>(index));
}

bool WatchPlanner::startJoin(const Watch& server, long long nowMs, long long giveUpMs,
                             int minutes) {
  if (join_) return false;
  join_ = server;
  joinState_ = State();
  joinState_.dueMs = nowMs;
  joinEndMs_ = nowMs + giveUpMs;
  joinMinutes_ = minutes;
  return true;
}

std::vector<WatchEvent> WatchPlanner::cancelJoin() {
  if (!join_) return {};
  WatchEvent e{WatchEvent::Kind::Cancelled, join_->server,
               "stopped waiting for a slot on " + join_->server};
  join_.reset();
  return {e};
}

long long WatchPlanner::nextDueMs() const {
  if (idle()) return -1;
  long long due = join_ ? joinState_.dueMs : states_.front().dueMs;
  for (const State& s : states_) due = std::min(due, s.dueMs);
  if (lastAskMs_ >= 0) due = std::max(due, lastAskMs_ + timing_.minGapMs);
  return due;
}

std::optional<WatchTarget> WatchPlanner::next(long long nowMs) {
  const long long due = nextDueMs();
  if (due < 0 || due > nowMs) return std::nullopt;
  lastAskMs_ = nowMs;
  // The join first: it is asked most often and waits for a moment.
  if (join_ && joinState_.dueMs <= nowMs) return WatchTarget{join_->ip, join_->port};
  std::size_t first = 0;
  for (std::size_t i = 1; i < states_.size(); ++i)
    if (states_[i].dueMs < states_[first].dueMs) first = i;
  return WatchTarget{watches_[first].ip, watches_[first].port};
}

std::vector<WatchEvent> WatchPlanner::answered(const WatchTarget& target, std::string_view reply,
                                               const std::vector<std::string>& buddyHits,
                                               long long nowMs) {
  std::vector<WatchEvent> events;
  if (join_ && WatchTarget{join_->ip, join_->port} == target) {
    joinState_.dueMs = nowMs + timing_.joinEveryMs;
    const Slots slots = slotsOf(reply);
    if (slots.room()) {
      events.push_back({WatchEvent::Kind::Join, join_->server,
                        "joining " + join_->server + ": " + slots.text()});
      join_.reset();
    }
  }
  for (std::size_t i = 0; i < watches_.size(); ++i) {
    if (WatchTarget{watches_[i].ip, watches_[i].port} != target) continue;
    states_[i].dueMs = nowMs + timing_.watchEveryMs;
    evaluate(i, reply, buddyHits, events);
  }
  return events;
}

void WatchPlanner::evaluate(std::size_t i, std::string_view reply,
                            const std::vector<std::string>& hits, std::vector<WatchEvent>& events) {
  const Watch& w = watches_[i];
  State& s = states_[i];
  const Slots slots = slotsOf(reply);
  if (!slots.answered) {
    if (++s.silences == kSilentAfter)
      events.push_back({WatchEvent::Kind::Silent, w.server, w.server + " does not answer"});
    return;
  }
  s.silences = 0;
  std::string text;
  bool holds = false;
  if (w.kind == WatchKind::Buddy) {
    for (const std::string& hit : hits)
      if (std::find(s.hits.begin(), s.hits.end(), hit) == s.hits.end())
        text += (text.empty() ? "" : "\n") + hit + " is on " + w.server;
    s.hits = hits;
  } else {
    holds = w.kind == WatchKind::SlotFree ? slots.room() : slots.players >= w.players;
    if (holds && !s.fired)
      text = (w.kind == WatchKind::SlotFree
                  ? "a slot is free on " + w.server
                  : w.server + " has " + std::to_string(slots.players) + " players") +
             ": " + slots.text();
    s.fired = holds;
  }
  if (!text.empty()) events.push_back({WatchEvent::Kind::Alert, w.server, text});
}

std::vector<WatchEvent> WatchPlanner::tick(long long nowMs) {
  if (!join_ || nowMs < joinEndMs_) return {};
  WatchEvent e{WatchEvent::Kind::GaveUp, join_->server,
               "gave up waiting for a slot on " + join_->server + " after " +
                   std::to_string(joinMinutes_) + (joinMinutes_ == 1 ? " minute" : " minutes")};
  join_.reset();
  return {e};
}

}  // namespace tarvix
