#pragma once
// The main window and the windows of the options area, created as the
// program creates them and registered in forms() for one test.
#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "app/TForm1.h"
#include "app/TForm8.h"
#include "lists/TForm13.h"
#include "lists/TForm17.h"
#include "lists/TForm3.h"

namespace tarvix::test {

struct WindowSet {
  WindowSet() {
    forms().Form1 = main = new TForm1();
    forms().Form3 = options = new TForm3();
    forms().Form8 = credits = new TForm8();
    forms().Form13 = quickAdd = new TForm13();
    forms().Form17 = directConnect = new TForm17();
  }
  ~WindowSet() {
    delete directConnect;
    delete quickAdd;
    delete credits;
    delete options;
    if (main->Scanning && main->ToolButton9) main->ToolButton9Click();
    delete main;
    forms() = TForms{};
  }
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  TForm1* main;
  TForm3* options;
  TForm8* credits;
  TForm13* quickAdd;
  TForm17* directConnect;
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
