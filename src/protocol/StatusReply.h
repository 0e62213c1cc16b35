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

struct TPlayer {
  std::string Ping;      // first field of the line, without the space after it
  std::string Name;      // between the first two double quotes, unchanged
  bool HasName = false;  // false for a line without a double quote
};

struct TStatusReply {
  std::string Raw;  // the reply bytes as received; empty when there was no answer
  std::string HostName;
  std::string MapName;
  std::string MaxClients;  // text; see MaxClientsNumber()
  std::string MapList;
  std::string Version;
  std::string Link;
  bool HasLink = false;
  std::string Edition;
  std::vector<TPlayer> Players;  // every player line, in reply order (detail rule)

  // Scan rule: players whose name is not empty.
  int ScanPlayerCount() const;
  // Detail rule: every player line.
  int DetailPlayerCount() const { return static_cast<int>(Players.size()); }
};

// Value after the first exact occurrence of searchText, up to the next
// backslash or line feed, or the end of the text. Empty when absent.
std::string KeyValue(std::string_view text, std::string_view searchText);
// The URL value, when the text holds "URL\" in exactly this case.
bool LinkValue(std::string_view text, std::string& link);
// "Spearhead" when the text holds "medal of honor spearhead" in any case.
std::string EditionOf(std::string_view text);
// Every line after the info line (the second line); a final line feed starts
// no line, a last line without one is a player line all the same.
std::vector<TPlayer> PlayerLines(std::string_view text);
// Names of the players the scan counts (non-empty names), in reply order.
std::vector<std::string> ScanPlayerNames(std::string_view text);

// sv_maxclients as a whole number; false when it is not one.
bool MaxClientsNumber(std::string_view maxClients, long long& out);
// Full: the count equals the maximum as integers (a non-number is never full).
bool IsFull(long long playerCount, std::string_view maxClients);

// Reads every value from the text as it is (scan, buddy double-click).
TStatusReply ReadStatusReply(std::string_view raw);
// Row selection: every FF byte and every 01 "statusresponse" (any case)
// removed before reading.
std::string RowSelectionText(std::string_view raw);
// Values read from RowSelectionText(raw); Raw keeps the bytes as received.
TStatusReply ReadSelectedReply(std::string_view raw);

// Whether a reply counts as an answer, per caller.
bool ScanAnswered(std::string_view raw);                // holds FF FF FF FF
bool RowSelectionAnswered(std::string_view raw);        // "statusresponse", any case
bool BuddyDoubleClickAnswered(std::string_view raw);    // at least 41 bytes
bool QuickAddAnswered(std::string_view raw);            // > 40 bytes and "sv_hostname\"
bool DirectConnectAnswered(std::string_view raw);       // not empty
bool DirectConnectSetsEdition(std::string_view raw);    // > 40 bytes
bool ConsoleAnswered(std::string_view raw);             // "status", any case

// The server name quick add takes from a reply; empty when the reply does
// not count as an answer for it.
std::string QuickAddName(std::string_view raw);

}  // namespace tarvix
