#include "protocol/StatusReply.h"

#include "base/Text.h"

namespace tarvix {

int StatusReply::scanPlayerCount() const {
  int n = 0;
  for (const auto& p : players)
    if (!p.name.empty()) ++n;
  return n;
}

std::string_view keyValueView(std::string_view text, std::string_view searchText) {
  std::size_t at = text.find(searchText);
  if (at == std::string_view::npos) return {};
  std::size_t start = at + searchText.size();
  std::size_t end = text.find_first_of("\\\n", start);
  if (end == std::string_view::npos) end = text.size();
  return text.substr(start, end - start);
}

std::string keyValue(std::string_view text, std::string_view searchText) {
  return std::string(keyValueView(text, searchText));
}

bool linkValue(std::string_view text, std::string& link) {
  link.clear();
  if (!contains(text, kUrlKey)) return false;
  link = keyValue(text, kUrlKey);
  return true;
}

std::string_view editionViewOf(std::string_view text) {
  return containsNoCase(text, "medal of honor spearhead") ? kEditionSpearhead : kEditionBase;
}

std::string editionOf(std::string_view text) { return std::string(editionViewOf(text)); }

namespace {

// Calls f(line) for every line after the info line (the second line); a
// final line feed starts no line, a last line without one is a player line
// all the same.
template <typename F>
void eachPlayerLine(std::string_view text, F&& f) {
  std::size_t start = 0;
  for (int lineNo = 0; start < text.size(); ++lineNo) {
    const std::size_t lf = text.find('\n', start);
    const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    if (lineNo >= 2) f(text.substr(start, end - start));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
}

// The name between the line's first two double quotes (to the end without a
// second one); false without a double quote.
bool quotedName(std::string_view line, std::string_view& name) {
  const std::size_t q1 = line.find('"');
  if (q1 == std::string_view::npos) return false;
  std::size_t q2 = line.find('"', q1 + 1);
  if (q2 == std::string_view::npos) q2 = line.size();
  name = line.substr(q1 + 1, q2 - q1 - 1);
  return true;
}

}  // namespace

std::vector<Player> playerLines(std::string_view text) {
  std::vector<Player> players;
  eachPlayerLine(text, [&](std::string_view line) {
    Player p;
    p.ping = std::string(line.substr(0, line.find(' ')));
    std::string_view name;
    p.hasName = quotedName(line, name);
    p.name = std::string(name);
    players.push_back(std::move(p));
  });
  return players;
}

namespace {

std::vector<std::string_view> scanPlayerNameViews(std::string_view text) {
  std::vector<std::string_view> names;
  eachPlayerLine(text, [&](std::string_view line) {
    std::string_view name;
    if (quotedName(line, name) && !name.empty()) names.push_back(name);
  });
  return names;
}

}  // namespace

std::vector<std::string> scanPlayerNames(std::string_view text) {
  const std::vector<std::string_view> views = scanPlayerNameViews(text);
  return {views.begin(), views.end()};
}

ScanReply readScanReply(std::string_view raw) {
  ScanReply r;
  r.mapName = keyValueView(raw, kMapNameKey);
  r.maxClients = keyValueView(raw, kMaxClientsKey);
  r.edition = editionViewOf(raw);
  r.playerNames = scanPlayerNameViews(raw);
  return r;
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
