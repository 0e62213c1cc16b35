#pragma once
// The main window and the windows of the options area, created as the
// program creates them and registered in forms() for one test.
#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/CreditsWindow.h"
#include "lists/QuickAddDialog.h"
#include "lists/DirectConnectDialog.h"
#include "lists/OptionsWindow.h"

namespace tarvix::test {

struct WindowSet {
  WindowSet() {
    forms().Form1 = main = new MainWindow();
    forms().Form3 = options = new OptionsWindow();
    forms().Form8 = credits = new CreditsWindow();
    forms().Form13 = quickAdd = new QuickAddDialog();
    forms().Form17 = directConnect = new DirectConnectDialog();
  }
  ~WindowSet() {
    delete directConnect;
    delete quickAdd;
    delete credits;
    delete options;
    if (main->Scanning && main->ToolButton9) main->ToolButton9Click();
    delete main;
    forms() = ProgramWindows{};
  }
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  MainWindow* main;
  OptionsWindow* options;
  CreditsWindow* credits;
  QuickAddDialog* quickAdd;
  DirectConnectDialog* directConnect;
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
