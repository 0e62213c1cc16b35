#include "store/Config.h"

#include <limits>
#include <vector>

#include "base/Text.h"
#include "store/DataFile.h"

namespace tarvix {

namespace {

constexpr std::size_t kConfigLines = 12;

void applyConfigLine(Config& cfg, std::size_t index, const std::string& line) {
  switch (index) {
    case 0:
      cfg.autoScan = line == "timer on";
      break;
    case 1:
      cfg.serverListPath = line;
      break;
    case 2:
      cfg.clantagsOn = line == "clantags on";
      break;
    case 3:
      cfg.playerName = line;
      break;
    case 4:
      cfg.serverPassword = line;
      break;
    case 5:
      cfg.mohaaPath = line;
      break;
    case 6:
      cfg.spearheadPath = line;
      break;
    case 7: {
      long long v = 0;
      if (!parseInt(line, v) || v < std::numeric_limits<int>::min() ||
          v > std::numeric_limits<int>::max())
        throw ConfigError("'" + line + "' is not a valid integer value");
      cfg.speedSetting = static_cast<int>(v);
      cfg.scanTimeout = static_cast<int>(v);
      break;
    }
    case 8:
      cfg.safeScan = line == "save";
      if (cfg.safeScan) cfg.scanTimeout = 10000;
      break;
    case 9:
      cfg.keptLine10Flag = line == "true";
      break;
    case 10:
      cfg.bannerIndex = line;
      break;
    default:
      break;  // trailer
  }
}

}  // namespace

void readConfig(Config& cfg) {
  std::vector<std::string> lines = readLines(kConfigFile);
  for (std::size_t i = 0; i < lines.size(); ++i) applyConfigLine(cfg, i % kConfigLines, lines[i]);
}

std::vector<std::string> configLines(const Config& cfg) {
  return {
      cfg.autoScan ? "timer on" : "timer off",
      cfg.serverListPath,
      cfg.clantagsOn ? "clantags on" : "clantags off",
      cfg.playerName,
      cfg.serverPassword,
      cfg.mohaaPath,
      cfg.spearheadPath,
      std::to_string(cfg.speedSetting),
      cfg.safeScan ? "save" : "fast",
      cfg.keptLine10Flag ? "true" : "false",
      cfg.bannerIndex,
      kConfigTrailer,
  };
}

void writeConfig(const Config& cfg) { replaceLines(kConfigFile, configLines(cfg)); }

}  // namespace tarvix
