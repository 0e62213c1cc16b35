#pragma once
// Reading a status reply: header line, info line of backslash-separated
// pairs, one line per player (ping, further fields, quoted name).
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// Search texts of the values a reply is read for. Matched with exact case;
// those without a leading backslash are also found inside other values.
inline constexpr std::string_view kHostNameKey = "sv_hostname\\";
inline constexpr std::string_view kMapNameKey = "mapname\\";
inline constexpr std::string_view kMaxClientsKey = "sv_maxclients\\";
inline constexpr std::string_view kMapListKey = "\\sv_maplist\\";
inline constexpr std::string_view kVersionKey = "\\version\\";
inline constexpr std::string_view kUrlKey = "URL\\";

inline constexpr std::string_view kEditionSpearhead = "Spearhead";
inline constexpr std::string_view kEditionBase = "Medal of Honor";

struct Player {
  std::string ping;      // first field of the line, without the space after it
  std::string name;      // between the first two double quotes, unchanged
  bool hasName = false;  // false for a line without a double quote
};

struct StatusReply {
  std::string raw;  // the reply bytes as received; empty when there was no answer
  std::string hostName;
  std::string mapName;
  std::string maxClients;  // text; see maxClientsNumber()
  std::string mapList;
  std::string version;
  std::string link;
  bool hasLink = false;
  std::string edition;
  std::vector<Player> players;  // every player line, in reply order (detail rule)

  // Scan rule: players whose name is not empty.
  int scanPlayerCount() const;
  // Detail rule: every player line.
  int detailPlayerCount() const { return static_cast<int>(players.size()); }
};

// What a scan pass reads of a reply, as pieces of it: the values and the
// player names readStatusReply() and scanPlayerNames() give, read in one walk
// without copies. Valid while the reply's bytes are.
struct ScanReply {
  std::string_view mapName;
  std::string_view maxClients;
  std::string_view edition;
  std::vector<std::string_view> playerNames;  // the names scanPlayerNames() gives
};
ScanReply readScanReply(std::string_view raw);

// Value after the first exact occurrence of searchText, up to the next
// backslash or line feed, or the end of the text. Empty when absent.
std::string keyValue(std::string_view text, std::string_view searchText);
std::string_view keyValueView(std::string_view text, std::string_view searchText);
// The URL value, when the text holds "URL\" in exactly this case.
bool linkValue(std::string_view text, std::string& link);
// "Spearhead" when the text holds "medal of honor spearhead" in any case.
std::string editionOf(std::string_view text);
std::string_view editionViewOf(std::string_view text);
// Every line after the info line (the second line); a final line feed starts
// no line, a last line without one is a player line all the same.
std::vector<Player> playerLines(std::string_view text);
// Names of the players the scan counts (non-empty names), in reply order.
std::vector<std::string> scanPlayerNames(std::string_view text);

// sv_maxclients as a whole number; false when it is not one.
bool maxClientsNumber(std::string_view maxClients, long long& out);
// Full: as many players as the maximum or more (reserved slots let a server
// go over it); a maximum that is not a whole number is never full. The one
// rule for "full": rows, filter, JSON and watches ask it.
bool isFull(long long playerCount, long long maxClients);
bool isFull(long long playerCount, std::string_view maxClients);

// Reads every value from the text as it is (scan, buddy double-click).
StatusReply readStatusReply(std::string_view raw);
// Row selection: every FF byte and every 01 "statusresponse" (any case)
// removed before reading.
std::string rowSelectionText(std::string_view raw);
// Values read from rowSelectionText(raw); Raw keeps the bytes as received.
StatusReply readSelectedReply(std::string_view raw);

// Whether a reply counts as an answer, per caller.
bool scanAnswered(std::string_view raw);              // holds FF FF FF FF
bool rowSelectionAnswered(std::string_view raw);      // "statusresponse", any case
bool buddyDoubleClickAnswered(std::string_view raw);  // at least 41 bytes
bool quickAddAnswered(std::string_view raw);          // > 40 bytes and "sv_hostname\"
bool directConnectAnswered(std::string_view raw);     // not empty
bool directConnectSetsEdition(std::string_view raw);  // > 40 bytes
bool consoleAnswered(std::string_view raw);           // "status", any case

// The server name quick add takes from a reply; empty when the reply does
// not count as an answer for it.
std::string quickAddName(std::string_view raw);

}  // namespace tarvix
