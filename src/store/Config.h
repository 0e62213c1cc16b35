#pragma once
// The configuration file "Config" (twelve lines).
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

struct Config {
  bool autoScan = false;                                 // line 1
  std::string serverListPath = "Serverlists\\Standard";  // line 2
  bool clantagsOn = false;                               // line 3
  std::string playerName;                                // line 4
  std::string serverPassword;                            // line 5
  std::string mohaaPath;                                 // line 6
  std::string spearheadPath;                             // line 7
  int speedSetting = 500;                                // line 8
  int scanTimeout = 500;                                 // line 8, or 10000 with "save"
  bool safeScan = false;                                 // line 9
  bool keptLine10Flag = false;                           // line 10
  std::string bannerIndex = "0";                         // line 11
};

inline constexpr const char* kConfigFile = "Config";
inline constexpr const char* kConfigTrailer = "//Quellis Config - Dont change this file !";

// Line 8 of Config is not a decimal integer.
class ConfigError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Applies Config onto `cfg` block by block, line by line. Throws FileError
// when the file cannot be read, ConfigError when a line 8 is not a number
// (the lines before it stay applied).
void readConfig(Config& cfg);
// Writes the twelve lines from `cfg` (the caller fills autoScan, clantagsOn
// and safeScan from the Options window's boxes).
void writeConfig(const Config& cfg);
// The twelve lines WriteConfig writes.
std::vector<std::string> configLines(const Config& cfg);

}  // namespace tarvix
