#include "protocol/StatusReply.h"

#include "store/Text.h"

namespace tarvix {

int TStatusReply::ScanPlayerCount() const {
  int n = 0;
  for (const auto& p : Players)
    if (!p.Name.empty()) ++n;
  return n;
}

std::string KeyValue(std::string_view text, std::string_view searchText) {
  std::size_t at = text.find(searchText);
  if (at == std::string_view::npos) return {};
  std::size_t start = at + searchText.size();
  std::size_t end = text.find_first_of("\\\n", start);
  if (end == std::string_view::npos) end = text.size();
  return std::string(text.substr(start, end - start));
}

bool LinkValue(std::string_view text, std::string& link) {
  link.clear();
  if (!contains(text, kUrlKey)) return false;
  link = KeyValue(text, kUrlKey);
  return true;
}

std::string EditionOf(std::string_view text) {
  return std::string(containsNoCase(text, "medal of honor spearhead") ? kEditionSpearhead
                                                                      : kEditionBase);
}

std::vector<TPlayer> PlayerLines(std::string_view text) {
  std::vector<TPlayer> players;
  std::size_t start = 0;
  int lineNo = 0;
  while (start < text.size()) {
    std::size_t lf = text.find('\n', start);
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    if (lineNo >= 2) {
      std::string_view line = text.substr(start, end - start);
      TPlayer p;
      p.Ping = std::string(line.substr(0, line.find(' ')));
      std::size_t q1 = line.find('"');
      if (q1 != std::string_view::npos) {
        std::size_t q2 = line.find('"', q1 + 1);
        if (q2 == std::string_view::npos) q2 = line.size();
        p.Name = std::string(line.substr(q1 + 1, q2 - q1 - 1));
        p.HasName = true;
      }
      players.push_back(std::move(p));
    }
    if (lf == std::string_view::npos) break;
    start = lf + 1;
    ++lineNo;
  }
  return players;
}

std::vector<std::string> ScanPlayerNames(std::string_view text) {
  std::vector<std::string> names;
  for (auto& p : PlayerLines(text))
    if (!p.Name.empty()) names.push_back(std::move(p.Name));
  return names;
}

bool MaxClientsNumber(std::string_view maxClients, long long& out) {
  return parseInt(maxClients, out);
}

bool IsFull(long long playerCount, std::string_view maxClients) {
  long long max = 0;
  return MaxClientsNumber(maxClients, max) && max == playerCount;
}

TStatusReply ReadStatusReply(std::string_view raw) {
  TStatusReply r;
  r.Raw = std::string(raw);
  r.HostName = KeyValue(raw, kHostNameKey);
  r.MapName = KeyValue(raw, kMapNameKey);
  r.MaxClients = KeyValue(raw, kMaxClientsKey);
  r.MapList = KeyValue(raw, kMapListKey);
  r.Version = KeyValue(raw, kVersionKey);
  r.HasLink = LinkValue(raw, r.Link);
  r.Edition = EditionOf(raw);
  r.Players = PlayerLines(raw);
  return r;
}

std::string RowSelectionText(std::string_view raw) {
  return removeAllNoCase(removeChar(raw, '\xFF'), "\x01statusresponse");
}

TStatusReply ReadSelectedReply(std::string_view raw) {
  TStatusReply r = ReadStatusReply(RowSelectionText(raw));
  r.Raw = std::string(raw);
  return r;
}

bool ScanAnswered(std::string_view raw) { return contains(raw, "\xFF\xFF\xFF\xFF"); }
bool RowSelectionAnswered(std::string_view raw) { return containsNoCase(raw, "statusresponse"); }
bool BuddyDoubleClickAnswered(std::string_view raw) { return raw.size() >= 41; }
bool QuickAddAnswered(std::string_view raw) { return raw.size() > 40 && contains(raw, kHostNameKey); }
bool DirectConnectAnswered(std::string_view raw) { return !raw.empty(); }
bool DirectConnectSetsEdition(std::string_view raw) { return raw.size() > 40; }
bool ConsoleAnswered(std::string_view raw) { return containsNoCase(raw, "status"); }

std::string QuickAddName(std::string_view raw) {
  if (!QuickAddAnswered(raw)) return {};
  return KeyValue(raw, kHostNameKey);
}

}  // namespace tarvix
