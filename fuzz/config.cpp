// Config as read at start-up and written by the Options window: text
// settings are lines of the file, and writing the settings then reading them
// back gives the same twelve lines.
#include "store/Config.h"

#include "FuzzSupport.h"
#include "base/Text.h"

using namespace tarvix;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enterPrivateDataFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content = fuzz::bytes(data, size);
  fuzz::putFile(kConfigFile, content);
  const std::vector<std::string> lines = splitLines(content);
  auto isLineOrDefault = [&](const std::string& value, const std::string& fallback) {
    if (value == fallback) return true;
    for (const auto& l : lines)
      if (l == value) return true;
    return false;
  };

  Config cfg;
  const Config defaults;
  try {
    readConfig(cfg);
  } catch (const ConfigError&) {
    // The lines before the bad line 8 stay applied; the rest is checked alike.
  }
  FUZZ_CHECK(isLineOrDefault(cfg.serverListPath, defaults.serverListPath));
  FUZZ_CHECK(isLineOrDefault(cfg.playerName, defaults.playerName));
  FUZZ_CHECK(isLineOrDefault(cfg.serverPassword, defaults.serverPassword));
  FUZZ_CHECK(isLineOrDefault(cfg.mohaaPath, defaults.mohaaPath));
  FUZZ_CHECK(isLineOrDefault(cfg.spearheadPath, defaults.spearheadPath));
  FUZZ_CHECK(isLineOrDefault(cfg.bannerIndex, defaults.bannerIndex));
  FUZZ_CHECK(cfg.safeScan ? true : cfg.scanTimeout == cfg.speedSetting);

  writeConfig(cfg);
  FUZZ_CHECK(fuzz::getFile(kConfigFile) == joinLinesCrlf(configLines(cfg)));
  FUZZ_CHECK(fuzz::filesStartingWith(".", std::string(kConfigFile) + ".").empty());
  Config back;
  readConfig(back);  // what the program wrote must read without error
  FUZZ_CHECK(configLines(back) == configLines(cfg));
  FUZZ_CHECK(back.scanTimeout == (back.safeScan ? 10000 : back.speedSetting));
  return 0;
}
