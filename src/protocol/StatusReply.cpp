#include "protocol/StatusReply.h"

#include "base/Text.h"

namespace tarvix {

int StatusReply::scanPlayerCount() const {
  int n = 0;
  for (const auto& p : players)
    if (!p.name.empty()) ++n;
  return n;
}

std::string keyValue(std::string_view text, std::string_view searchText) {
  std::size_t at = text.find(searchText);
  if (at == std::string_view::npos) return {};
  std::size_t start = at + searchText.size();
  std::size_t end = text.find_first_of("\\\n", start);
  if (end == std::string_view::npos) end = text.size();
  return std::string(text.substr(start, end - start));
}

bool linkValue(std::string_view text, std::string& link) {
  link.clear();
  if (!contains(text, kUrlKey)) return false;
  link = keyValue(text, kUrlKey);
  return true;
}

std::string editionOf(std::string_view text) {
  return std::string(containsNoCase(text, "medal of honor spearhead") ? kEditionSpearhead
                                                                      : kEditionBase);
}

std::vector<Player> playerLines(std::string_view text) {
  std::vector<Player> players;
  std::size_t start = 0;
  int lineNo = 0;
  while (start < text.size()) {
    std::size_t lf = text.find('\n', start);
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    if (lineNo >= 2) {
      std::string_view line = text.substr(start, end - start);
      Player p;
      p.ping = std::string(line.substr(0, line.find(' ')));
      std::size_t q1 = line.find('"');
      if (q1 != std::string_view::npos) {
        std::size_t q2 = line.find('"', q1 + 1);
        if (q2 == std::string_view::npos) q2 = line.size();
        p.name = std::string(line.substr(q1 + 1, q2 - q1 - 1));
        p.hasName = true;
      }
      players.push_back(std::move(p));
    }
    if (lf == std::string_view::npos) break;
    start = lf + 1;
    ++lineNo;
  }
  return players;
}

std::vector<std::string> scanPlayerNames(std::string_view text) {
  std::vector<std::string> names;
  for (auto& p : playerLines(text))
    if (!p.name.empty()) names.push_back(std::move(p.name));
  return names;
}

bool maxClientsNumber(std::string_view maxClients, long long& out) {
  return parseInt(maxClients, out);
}

bool isFull(long long playerCount, long long maxClients) { return playerCount >= maxClients; }

bool isFull(long long playerCount, std::string_view maxClients) {
  long long max = 0;
  return maxClientsNumber(maxClients, max) && isFull(playerCount, max);
}

StatusReply readStatusReply(std::string_view raw) {
  StatusReply r;
  r.raw = std::string(raw);
  r.hostName = keyValue(raw, kHostNameKey);
  r.mapName = keyValue(raw, kMapNameKey);
  r.maxClients = keyValue(raw, kMaxClientsKey);
  r.mapList = keyValue(raw, kMapListKey);
  r.version = keyValue(raw, kVersionKey);
  r.hasLink = linkValue(raw, r.link);
  r.edition = editionOf(raw);
  r.players = playerLines(raw);
  return r;
}

std::string rowSelectionText(std::string_view raw) {
  return removeAllNoCase(removeChar(raw, '\xFF'), "\x01statusresponse");
}

StatusReply readSelectedReply(std::string_view raw) {
  StatusReply r = readStatusReply(rowSelectionText(raw));
  r.raw = std::string(raw);
  return r;
}

bool scanAnswered(std::string_view raw) { return contains(raw, "\xFF\xFF\xFF\xFF"); }
bool rowSelectionAnswered(std::string_view raw) { return containsNoCase(raw, "statusresponse"); }
bool buddyDoubleClickAnswered(std::string_view raw) { return raw.size() >= 41; }
bool quickAddAnswered(std::string_view raw) {
  return raw.size() > 40 && contains(raw, kHostNameKey);
}
bool directConnectAnswered(std::string_view raw) { return !raw.empty(); }
bool directConnectSetsEdition(std::string_view raw) { return raw.size() > 40; }
bool consoleAnswered(std::string_view raw) { return containsNoCase(raw, "status"); }

std::string quickAddName(std::string_view raw) {
  if (!quickAddAnswered(raw)) return {};
  return keyValue(raw, kHostNameKey);
}

}  // namespace tarvix
