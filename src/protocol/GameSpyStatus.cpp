#include "protocol/GameSpyStatus.h"

#include <algorithm>

#include "base/Text.h"

namespace tarvix {

namespace {

constexpr std::string_view kQueryId = "\\queryid\\";
constexpr std::string_view kFinal = "\\final\\";

int number(std::string_view text, long long low, long long high) {
  long long v = 0;
  if (!parseInt(text, v) || v < low || v > high) return 0;
  return static_cast<int>(v);
}

// "player_12" with prefix "player_" -> 12; -1 when not such a key.
int indexAfter(std::string_view key, std::string_view prefix) {
  if (key.size() <= prefix.size() || key.substr(0, prefix.size()) != prefix) return -1;
  long long v = 0;
  std::string_view digits = key.substr(prefix.size());
  if (digits.front() < '0' || digits.front() > '9') return -1;
  if (!parseInt(digits, v) || v < 0 || v >= kMaxGameSpyPlayers) return -1;
  return static_cast<int>(v);
}

}  // namespace

void GameSpyReplyParts::add(std::string_view datagram) {
  if (spoiled_) return;
  int part = 1;
  std::string_view body = datagram;
  const std::size_t at = datagram.rfind(kQueryId);
  if (at != std::string_view::npos) {
    body = datagram.substr(0, at);
    std::string_view id = datagram.substr(at + kQueryId.size());
    const std::size_t dot = id.rfind('.');
    if (dot == std::string_view::npos) {
      spoiled_ = true;
      return;
    }
    // Parts of another query (an answer to an earlier request) are not this reply's.
    const std::string_view query = id.substr(0, dot);
    if (!hasQueryId_) {
      hasQueryId_ = true;
      queryId_ = query;
    } else if (query != queryId_) {
      return;
    }
    std::string_view n = id.substr(dot + 1);
    if (!n.empty() && n.back() == '\\') n.remove_suffix(1);
    part = number(n, 1, kMaxReplyParts);
    if (part == 0) {
      spoiled_ = true;
      return;
    }
  }
  if (parts_.count(part) != 0) return;
  bytes_ += body.size();
  if (bytes_ > kMaxReplyBytes) {
    spoiled_ = true;
    return;
  }
  if (body.find(kFinal) != std::string_view::npos) {
    // Two different parts claiming to be the last make no reply.
    if (finalPart_ != 0 && finalPart_ != part) {
      spoiled_ = true;
      return;
    }
    finalPart_ = part;
  }
  parts_.emplace(part, std::string(body));
}

bool GameSpyReplyParts::complete() const {
  if (spoiled_ || finalPart_ == 0) return false;
  // parts_ is keyed 1.. and ordered: complete when 1..finalPart_ are all there.
  auto last = parts_.find(finalPart_);
  return static_cast<int>(std::distance(parts_.begin(), last)) == finalPart_ - 1 &&
         parts_.begin()->first == 1;
}

std::string GameSpyReplyParts::text() const {
  std::string out;
  for (const auto& [n, body] : parts_) {
    if (finalPart_ != 0 && n > finalPart_) break;
    out += body;
  }
  return out;
}

GameSpyStatus readGameSpyStatus(std::string_view text) {
  GameSpyStatus s;
  std::map<int, GameSpyPlayer> players;
  std::size_t pos = text.empty() || text.front() != '\\' ? 0 : 1;
  while (pos < text.size()) {
    std::size_t keyEnd = text.find('\\', pos);
    if (keyEnd == std::string_view::npos) break;
    std::string_view key = text.substr(pos, keyEnd - pos);
    if (key == "final") break;
    std::size_t valueEnd = text.find('\\', keyEnd + 1);
    if (valueEnd == std::string_view::npos) valueEnd = text.size();
    std::string_view value = text.substr(keyEnd + 1, valueEnd - keyEnd - 1);
    pos = valueEnd + 1;

    if (key == "hostname")
      s.hostName = value;
    else if (key == "mapname")
      s.mapName = value;
    else if (key == "gametype")
      s.gameType = value;
    else if (key == "gamename")
      s.gameName = value;
    else if (key == "gamever")
      s.gameVersion = value;
    else if (key == "hostport")
      s.hostPort = number(value, 1, 65535);
    else if (key == "numplayers")
      s.numPlayers = number(value, 0, 1 << 20);
    else if (key == "maxplayers")
      s.maxPlayers = number(value, 0, 1 << 20);
    else if (int i = indexAfter(key, "player_"); i >= 0)
      players[i].name = value;
    else if (int i = indexAfter(key, "frags_"); i >= 0)
      players[i].frags = number(value, -1000000, 1000000);
    else if (int i = indexAfter(key, "deaths_"); i >= 0)
      players[i].deaths = number(value, -1000000, 1000000);
    else if (int i = indexAfter(key, "ping_"); i >= 0)
      players[i].ping = number(value, 0, 1000000);
  }
  for (auto& [i, p] : players) s.players.push_back(std::move(p));
  return s;
}

}  // namespace tarvix
