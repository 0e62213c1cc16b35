#pragma once
// Config lines with the given values for the lines that tests vary; the game
// paths, line 10 and the banner are fixed.
#include <string>
#include <vector>

namespace tarvix::test {

inline std::vector<std::string> configLines(const std::string& timer, const std::string& list,
                                            const std::string& clantags, const std::string& nick,
                                            const std::string& password, const std::string& speed,
                                            const std::string& save) {
  return {timer,
          list,
          clantags,
          nick,
          password,
          "/games/MOHAA.exe",
          "/games/moh_spearhead.exe",
          speed,
          save,
          "true",
          "2",
          "//Quellis Config - Dont change this file !"};
}

}  // namespace tarvix::test
