#pragma once
// The composition root: the settings and every window of the program,
// created once in the program's fixed order (the main window first), all
// hidden, and wired to each other here. Windows never reach each other
// directly; what one asks of another is connected in this class.
#include <memory>

#include "store/Settings.h"

namespace tarvix {

class MainWindow;
class BuddiesWindow;
class OptionsWindow;
class ClanTagsWindow;
class SearchWindow;
class CreditsWindow;
class AdminConsole;
class ServerPropertiesWindow;
class QuickAddDialog;
class DirectConnectDialog;
class MapChangeWindow;
class AdminListWindow;
class AddEntryWindow;
class BuddyAlerter;
class MasterServersWindow;
class ServerDiscoveryRefresh;
class HistoryRecorder;
class HistoryWindow;
class WatchRunner;
class WatchesWindow;

class Application {
 public:
  // Needs a QApplication. Registers the compiled-in pictures and sets the
  // program's font before the first window is built. Without
  // `recordHistory` (--no-history) no pass goes into the history.
  explicit Application(bool recordHistory = true);
  // Shuts down (when not yet done) and deletes the windows in reverse order.
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Shows the main window; the first time, refreshes from the master
  // servers when the user asked for that at start.
  void show();
  // The windows stop their own work (scan, console workers, ping threads),
  // then every background job is stopped and joined. Safe to call twice.
  void shutdown();

  Settings& settings() { return settings_; }

  MainWindow* mainWindow() const { return main_.get(); }
  BuddiesWindow* buddies() const { return buddies_.get(); }
  OptionsWindow* options() const { return options_.get(); }
  ClanTagsWindow* clanTags() const { return clanTags_.get(); }
  SearchWindow* search() const { return search_.get(); }
  CreditsWindow* credits() const { return credits_.get(); }
  AdminConsole* console() const { return console_.get(); }
  ServerPropertiesWindow* serverProperties() const { return properties_.get(); }
  QuickAddDialog* quickAdd() const { return quickAdd_.get(); }
  DirectConnectDialog* directConnect() const { return directConnect_.get(); }
  MapChangeWindow* mapChange() const { return mapChange_.get(); }
  AddEntryWindow* addMap() const { return addMap_.get(); }
  AdminListWindow* banList() const { return banList_.get(); }
  AddEntryWindow* addBan() const { return addBan_.get(); }
  AdminListWindow* skinList() const { return skinList_.get(); }
  AddEntryWindow* addSkin() const { return addSkin_.get(); }
  AdminListWindow* messageList() const { return messageList_.get(); }
  AddEntryWindow* addMessage() const { return addMessage_.get(); }
  MasterServersWindow* masterServers() const { return masterServers_.get(); }
  ServerDiscoveryRefresh* serverDiscovery() const { return discovery_.get(); }
  HistoryWindow* history() const { return historyWindow_.get(); }
  WatchesWindow* watches() const { return watchesWindow_.get(); }
  WatchRunner* watchRunner() const { return watchRunner_.get(); }

 private:
  void connectAppWindows();
  void connectListsWindows();
  void connectAdminWindows();
  void connectServerDiscovery();
  // Watches and joining (ApplicationWatches.cpp).
  void connectWatches();
  // Every window but the main window stays within the screen; the tool
  // windows and dialogs close on Escape and tab in reading order.
  void fitAndKeyToolWindows();

  Settings settings_;
  bool shutDown_ = false;
  bool shownBefore_ = false;
  // Declared in creation order: members are destroyed in reverse.
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<BuddiesWindow> buddies_;
  std::unique_ptr<OptionsWindow> options_;
  std::unique_ptr<ClanTagsWindow> clanTags_;
  std::unique_ptr<SearchWindow> search_;
  std::unique_ptr<CreditsWindow> credits_;
  std::unique_ptr<AdminConsole> console_;
  std::unique_ptr<ServerPropertiesWindow> properties_;
  std::unique_ptr<QuickAddDialog> quickAdd_;
  std::unique_ptr<DirectConnectDialog> directConnect_;
  std::unique_ptr<MapChangeWindow> mapChange_;
  std::unique_ptr<AddEntryWindow> addMap_;
  std::unique_ptr<AdminListWindow> banList_;
  std::unique_ptr<AddEntryWindow> addBan_;
  std::unique_ptr<AdminListWindow> skinList_;
  std::unique_ptr<AddEntryWindow> addSkin_;
  std::unique_ptr<AdminListWindow> messageList_;
  std::unique_ptr<AddEntryWindow> addMessage_;
  std::unique_ptr<BuddyAlerter> buddyAlerter_;
  // Beyond the program's fixed order: created after it.
  std::unique_ptr<MasterServersWindow> masterServers_;
  std::unique_ptr<ServerDiscoveryRefresh> discovery_;
  std::unique_ptr<WatchesWindow> watchesWindow_;
  std::unique_ptr<WatchRunner> watchRunner_;
  std::unique_ptr<HistoryWindow> historyWindow_;
  // Ends (writing what it was handed) before the windows go.
  std::shared_ptr<HistoryRecorder> history_;
};

}  // namespace tarvix
