#include "store/NameLists.h"

#include <cerrno>

#include "store/DataFile.h"
#include "store/Text.h"

namespace tarvix {

std::vector<std::string> ReadNameList(std::string_view file) { return readLines(file); }

std::optional<std::vector<std::string>> ReadOptionalNameList(std::string_view file) {
  try {
    return readLines(file);
  } catch (const FileError& e) {
    if (e.error() == ENOENT) return std::nullopt;
    throw;
  }
}

void AppendNameEntry(std::string_view file, std::string_view value) {
  appendLines(file, {std::string(value)});
}

void RewriteNameList(std::string_view file, const std::vector<std::string>& lines) {
  replaceLines(file, lines, ReplaceMode::CreateOrTruncate);
}

void RewriteExistingNameList(std::string_view file, const std::vector<std::string>& lines) {
  replaceLines(file, lines, ReplaceMode::MustExist);
}

void EmptyNameList(std::string_view file) { replaceContent(file, "", ReplaceMode::MustExist); }

std::vector<MapEntry> MapPairs(const std::vector<std::string>& lines) {
  std::vector<MapEntry> maps;
  maps.reserve((lines.size() + 1) / 2);
  for (std::size_t i = 0; i < lines.size(); i += 2)
    maps.push_back({lines[i], i + 1 < lines.size() ? lines[i + 1] : std::string()});
  return maps;
}

std::vector<std::string> MapLines(const std::vector<MapEntry>& maps) {
  std::vector<std::string> lines;
  lines.reserve(maps.size() * 2);
  for (const auto& m : maps) {
    lines.push_back(m.displayName);
    lines.push_back(m.rconName);
  }
  return lines;
}

std::vector<MapEntry> ReadMaps() { return MapPairs(readLines(kMapsFile)); }

void AppendMap(const MapEntry& map) { appendLines(kMapsFile, {map.displayName, map.rconName}); }

void RewriteMaps(const std::vector<MapEntry>& maps) { RewriteNameList(kMapsFile, MapLines(maps)); }

bool BuddyMatches(std::string_view buddy, std::string_view playerName) {
  return equalsNoCase(buddy, playerName);
}

bool ClantagMatches(std::string_view tag, std::string_view playerName) {
  return !tag.empty() && containsNoCase(playerName, tag);
}

bool BanMatches(std::string_view ban, std::string_view playerName, std::string_view ipText) {
  if (ban.empty()) return playerName.empty();
  return ban == playerName || containsNoCase(playerName, ban) || containsNoCase(ipText, ban);
}

bool SkinMatches(std::string_view skin, std::string_view axisSkin, std::string_view alliesSkin) {
  return skin == axisSkin || skin == alliesSkin;
}

}  // namespace tarvix
