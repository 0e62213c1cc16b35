#pragma once
// The name list files of the data folder: buddies, clan tags, bans, skins,
// maps (pairs of lines) and messages. One value per line, taken whole.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

inline constexpr const char* kBuddiesFile = "Buddys.txt";
inline constexpr const char* kClantagsFile = "clantags.txt";
inline constexpr const char* kBansFile = "bans.txt";
inline constexpr const char* kSkinsFile = "skins.txt";
inline constexpr const char* kMapsFile = "maps.txt";
inline constexpr const char* kMessagesFile = "messages.txt";

struct MapEntry {
  std::string displayName;
  std::string rconName;
  bool operator==(const MapEntry&) const = default;
};

// Every line of an existing list file. Throws FileError (a missing file too).
std::vector<std::string> readNameList(std::string_view file);
// As ReadNameList, but an absent file is std::nullopt rather than an error
// (for "messages.txt", whose absence is a normal state).
std::optional<std::vector<std::string>> readOptionalNameList(std::string_view file);

// Appends one line to an existing list file. Throws FileError; EntryError
// for a value that is empty, blank or holds a line break.
void appendNameEntry(std::string_view file, std::string_view value);

// Replaces the file's content with `lines` (created when missing).
void rewriteNameList(std::string_view file, const std::vector<std::string>& lines);
// The buddy and clan tag files are written through NameListFile.

// Lines taken in pairs; an odd last line makes an entry with an empty rcon name.
std::vector<MapEntry> mapPairs(const std::vector<std::string>& lines);
std::vector<std::string> mapFileLines(const std::vector<MapEntry>& maps);
std::vector<MapEntry> readMaps();
void appendMap(const MapEntry& map);
void rewriteMaps(const std::vector<MapEntry>& maps);

// Matching rules of the workers.
// A buddy is the player's name, ignoring case.
bool buddyMatches(std::string_view buddy, std::string_view playerName);
// A clan tag occurs within the player's name, ignoring case; an empty tag
// matches nobody.
bool clantagMatches(std::string_view tag, std::string_view playerName);
// A ban occurs within the name or within the IP text (ignoring case), or
// equals the name; an empty or blank ban matches nobody.
bool banMatches(std::string_view ban, std::string_view playerName, std::string_view ipText);
// A skin equals the player's Axis or Allies skin exactly.
bool skinMatches(std::string_view skin, std::string_view axisSkin, std::string_view alliesSkin);

}  // namespace tarvix
