#pragma once
// The program's windows for one options-area test, with short names for the
// ones these tests drive.
#include <string>
#include <vector>

#include "qt/ProgramFixture.h"

namespace tarvix::test {

struct WindowSet {
  WindowSet() = default;
  ~WindowSet() {
    // A scan still running is stopped as the user would stop it.
    if (main->Scanning && main->ToolButton9) main->ToolButton9Click();
  }
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  ProgramFixture program;
  MainWindow* main = program.mainWindow();
  OptionsWindow* options = program.options();
  CreditsWindow* credits = program.credits();
  QuickAddDialog* quickAdd = program.quickAdd();
  DirectConnectDialog* directConnect = program.directConnect();
};

// Config lines with the given values for the lines that tests vary.
inline std::vector<std::string> configLines(const std::string& timer, const std::string& list,
                                            const std::string& clantags, const std::string& nick,
                                            const std::string& password, const std::string& speed,
                                            const std::string& save) {
  return {timer, list, clantags, nick, password, "/games/MOHAA.exe", "/games/moh_spearhead.exe",
          speed, save, "true", "2", "//Quellis Config - Dont change this file !"};
}

}  // namespace tarvix::test
