#pragma once
// The program as main() builds it, for one test: the settings and every
// window, created hidden in the program's order and wired as in the program.
// Build it after the test's data folder and dialogs are in place; the
// windows read their files as they are created.
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

namespace tarvix::test {

class ProgramFixture {
 public:
  ProgramFixture() = default;
  ProgramFixture(const ProgramFixture&) = delete;
  ProgramFixture& operator=(const ProgramFixture&) = delete;

  Application& program() { return program_; }
  Settings& settings() { return program_.settings(); }

  MainWindow* mainWindow() const { return program_.mainWindow(); }
  BuddiesWindow* buddies() const { return program_.buddies(); }
  OptionsWindow* options() const { return program_.options(); }
  ClanTagsWindow* clanTags() const { return program_.clanTags(); }
  SearchWindow* search() const { return program_.search(); }
  CreditsWindow* credits() const { return program_.credits(); }
  AdminConsole* console() const { return program_.console(); }
  ServerPropertiesWindow* serverProperties() const { return program_.serverProperties(); }
  QuickAddDialog* quickAdd() const { return program_.quickAdd(); }
  DirectConnectDialog* directConnect() const { return program_.directConnect(); }
  MapChangeWindow* mapChange() const { return program_.mapChange(); }
  AddEntryWindow* addMap() const { return program_.addMap(); }
  AdminListWindow* banList() const { return program_.banList(); }
  AddEntryWindow* addBan() const { return program_.addBan(); }
  AdminListWindow* skinList() const { return program_.skinList(); }
  AddEntryWindow* addSkin() const { return program_.addSkin(); }
  AdminListWindow* messageList() const { return program_.messageList(); }
  AddEntryWindow* addMessage() const { return program_.addMessage(); }

 private:
  Application program_;
};

}  // namespace tarvix::test
