#pragma once
// One window test's world, built in the order the program needs: a fresh
// data folder made the current directory, the scripted dialogs installed,
// then, on start(), the program as main() builds it (the settings and every
// window, created hidden in the program's order and wired). Fill the folder
// before start(): the windows read their files as they are created.
//
//   ProgramFixture fx;
//   fx.dir().writeInstallation({"Alpha", "127.0.0.1", "12203"});
//   Application& app = fx.start();
//   app.options()->show();
//   QCOMPARE(fx.dialogs().messages, ...);
#include <QtGlobal>
#include <memory>

#include "admin/AddEntryWindow.h"
#include "admin/AdminConsole.h"
#include "admin/AdminListWindow.h"
#include "admin/MapChangeWindow.h"
#include "app/Application.h"
#include "app/BuddiesWindow.h"
#include "app/ClanTagsWindow.h"
#include "app/CreditsWindow.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "lists/DirectConnectDialog.h"
#include "lists/OptionsWindow.h"
#include "lists/QuickAddDialog.h"
#include "lists/SearchWindow.h"
#include "lists/ServerPropertiesWindow.h"
#include "support/TempDataDir.h"
#include "support/qt/ScriptedDialogs.h"

namespace tarvix::test {

class ProgramFixture {
 public:
  ProgramFixture() = default;
  // The program goes first, then the dialogs, then the folder.
  ~ProgramFixture() { stop(); }
  ProgramFixture(const ProgramFixture&) = delete;
  ProgramFixture& operator=(const ProgramFixture&) = delete;

  // The data folder, the current directory while the fixture lives.
  TempDataDir& dir() { return dir_; }
  // The scripted boxes: queue answers, read what was shown and above which window.
  ScriptedDialogs& dialogs() { return dialogs_; }

  // Builds the program over the folder as it is now.
  Application& start() {
    if (program_) qFatal("ProgramFixture::start: the program is running; restart() it");
    program_ = std::make_unique<Application>();
    return *program_;
  }
  Application& program() {
    if (!program_) qFatal("ProgramFixture::program: start() it first");
    return *program_;
  }
  // Ends the program: its windows stop their work and are deleted. The
  // folder and the dialogs (with what they recorded) stay.
  void stop() { program_.reset(); }
  // A new run of the program over the same folder, as after a restart.
  Application& restart() {
    stop();
    return start();
  }

 private:
  TempDataDir dir_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<Application> program_;
};

}  // namespace tarvix::test
