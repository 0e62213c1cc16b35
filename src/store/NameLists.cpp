#include "store/NameLists.h"

#include <cerrno>

#include "base/Text.h"
#include "store/DataFile.h"

namespace tarvix {

std::vector<std::string> readNameList(std::string_view file) { return readLines(file); }

std::optional<std::vector<std::string>> readOptionalNameList(std::string_view file) {
  try {
    return readLines(file);
  } catch (const FileError& e) {
    if (e.error() == ENOENT) return std::nullopt;
    throw;
  }
}

void appendNameEntry(std::string_view file, std::string_view value) {
  if (isBlank(value))
    throw EntryError(dataPath(file),
                     "Cannot add an empty or blank entry to file \"" + dataPath(file) + "\".");
  appendLines(file, {std::string(value)});
}

void rewriteNameList(std::string_view file, const std::vector<std::string>& lines) {
  replaceLines(file, lines, ReplaceMode::CreateOrTruncate);
}

std::vector<MapEntry> mapPairs(const std::vector<std::string>& lines) {
  std::vector<MapEntry> maps;
  maps.reserve((lines.size() + 1) / 2);
  for (std::size_t i = 0; i < lines.size(); i += 2)
    maps.push_back({lines[i], i + 1 < lines.size() ? lines[i + 1] : std::string()});
  return maps;
}

std::vector<std::string> mapFileLines(const std::vector<MapEntry>& maps) {
  std::vector<std::string> lines;
  lines.reserve(maps.size() * 2);
  for (const auto& m : maps) {
    lines.push_back(m.displayName);
    lines.push_back(m.rconName);
  }
  return lines;
}

std::vector<MapEntry> readMaps() { return mapPairs(readLines(kMapsFile)); }

void appendMap(const MapEntry& map) { appendLines(kMapsFile, {map.displayName, map.rconName}); }

void rewriteMaps(const std::vector<MapEntry>& maps) {
  rewriteNameList(kMapsFile, mapFileLines(maps));
}

bool buddyMatches(std::string_view buddy, std::string_view playerName) {
  return equalsNoCase(buddy, playerName);
}

bool clantagMatches(std::string_view tag, std::string_view playerName) {
  return !tag.empty() && containsNoCase(playerName, tag);
}

bool banMatches(std::string_view ban, std::string_view playerName, std::string_view ipText) {
  // A blank ban would match every name with a blank and every unfilled IP.
  if (isBlank(ban)) return false;
  return ban == playerName || containsNoCase(playerName, ban) || containsNoCase(ipText, ban);
}

bool skinMatches(std::string_view skin, std::string_view axisSkin, std::string_view alliesSkin) {
  return skin == axisSkin || skin == alliesSkin;
}

}  // namespace tarvix
