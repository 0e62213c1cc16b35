#pragma once
// The main window: settings, the current server, the server, player and
// buddy views, the tool bar and its menus. Its widgets and state are its own;
// other windows reach it through the verbs and signals below, wired by
// Application.
#include <QMainWindow>
#include <QPoint>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/core/HeadlessScan.h"
#include "app/core/ServerDetails.h"
#include "app/core/ServerFilter.h"
#include "app/core/WatchPlanner.h"
#include "components/Background.h"
#include "lists/ScanState.h"
#include "lists/ServerPropertiesWindow.h"
#include "store/History.h"
#include "store/Settings.h"

class QAbstractItemDelegate;
class QAbstractItemModel;
class QCheckBox;
class QLineEdit;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvix {

class HistoryRecorder;
class ScanPass;
class TrayIcon;

class MainWindow : public QMainWindow, public ScanState {
  Q_OBJECT

 public:
  // Reads Config into `settings` (over the values it holds) and loads the
  // current server list.
  explicit MainWindow(Settings& settings, QWidget* parent = nullptr);
  ~MainWindow() override;

  // ---- the scan ----
  bool scanRunning() const override;
  bool autoScanRunning() const override;
  void setAutoScan(bool on);
  // "scan now": does nothing while a pass runs.
  void startScan();
  // "stop scan", and the end of a pass.
  void stopScan();
  // The running pass's thread, 0 without one.
  unsigned long scanThreadId() const;
  // Where each pass's rows go when tarvix.ini records history; none: nowhere.
  void setHistory(std::shared_ptr<HistoryRecorder> history) { history_ = std::move(history); }

  // ---- the server list ----
  // Empties the server name list, the three views and the detail labels.
  void clearServerList();
  // Shows the servers of the list just chosen with progress, then scans them.
  void loadServerList(const QString& listName, const std::vector<std::string>& names);
  // Shows Standard's servers after the current list was deleted.
  void showStandardList(const std::vector<std::string>& names);
  // Shows a server just appended to the current list, marked but not selected.
  void showAddedServer(const std::string& name);
  // Selects a server row as the user would, which queries that server.
  void selectServerRow(int index);
  // The server view's rows, for the search.
  const QAbstractItemModel& serverRows() const;
  // Row `index` is on view: the filter bar does not hide it.
  bool serverRowShown(int index) const;
  // Appends `actions` (the server searches) and "add to list..." to the
  // server view's right-click menu.
  void addServerSearchActions(const QList<QAction*>& actions);

  // ---- a refresh from the master servers or the LAN (MainWindowRefresh.cpp) ----
  // A server answered the running refresh: the first replaces the view's
  // rows (stopping a scan), each adds its row.
  void showFoundServer(const QString& name, const tarvix::ScanRow& texts);
  // The refresh ended: the next one starts on a fresh view.
  void endFoundServers();
  // Sources that failed, kept at the status bar's right end; empty hides it.
  void showRefreshNote(const QString& note);

  // ---- details and connect ----
  void showEdition(const QString& edition);
  // True while the newest details query waits for its reply.
  bool detailsQueryPending() const;
  // Drops the reply of a selection still waiting (another server was chosen).
  void cancelDetailsQuery();
  // The Buddies window wrote the name "Add to Buddys" asked for.
  void showBuddyAdded();
  // "connect": starts the game on the current server; gamesRunning() counts
  // it until it ends.
  void connectToServer();
  // Where connect finds the password it leaves in Config for the next
  // connect (the Options window's field).
  void setNextConnectPassword(std::function<std::string()> password) {
    nextConnectPassword_ = std::move(password);
  }
  // Games started by connect whose end is still awaited.
  int gamesRunning() const { return gamesRunning_; }

  // ---- status and notices ----
  // Status bar text (its one panel).
  QString statusText() const;
  void setStatusText(const QString& text);
  // A notice in the notification area, or without one in the status bar.
  void notify(const QString& title, const QString& text);
  // ---- watches and joining (MainWindowWatches.cpp) ----
  // A watch's notice: clicking it (or the status bar showing it) selects
  // the server's row.
  void notifyAbout(const QString& server, const QString& text);
  // The join's server has room: selects its row and connects, as "connect" does.
  void joinServerNamed(const QString& server);
  // The join's wait in the status bar beside its cancel button; an empty
  // text removes both.
  void showJoinWaiting(const QString& text);
  // "2.10 build 08.07.2003"
  QString versionText() const { return versionText_; }

  // ---- opt-in looks (MainWindowLooks.cpp) ----
  // Reads the looks chosen in tarvix.ini and shows them at once; at start
  // and whenever Options switches one.
  void applyBrowserLooks();

  // Ends the window's own work: the scan, the console's workers, the timer,
  // the tray icon and the ping threads. Closing the window does this too.
  void shutdown();

 signals:
  // Shown for the first time: the search window starts with "server" checked.
  void firstShown();
  void buddiesRequested();
  void clanTagsRequested();
  void searchRequested();
  void optionsRequested();
  void directConnectRequested();
  void quickAddRequested();
  // The server menu's "properties".
  void propertiesRequested();
  // A details query was answered: a properties window on screen shows it
  // afresh, and this window gets the focus back.
  void propertiesRefreshRequested();
  // "Add to Buddys": the player's name goes to the buddy file.
  void buddyAddRequested(const QString& name);
  // "connect" was chosen: the properties window closes.
  void connectStarted();
  // The filter hid the selected row: its details are gone, and so is the
  // properties window with them.
  void selectedRowHidden();
  // The ping graph was cleared: its next step goes to x, its pen to `pen`.
  void graphReset(int x, QPoint pen);
  // The newest details query was shown (its answer or the no-answer display).
  void detailsShown(const tarvix::ServerInfo& info);
  // "r-con" or "rcon" was chosen: open the admin console.
  void remoteConsoleRequested();
  // The program is ending: background workers of other windows must stop.
  void shuttingDown();
  // A scan pass ran to its end with these buddy and clan-tag hits.
  void scanPassFinished(const std::vector<tarvix::HeadlessBuddy>& hits);
  // "tell me when..." and "join when a slot frees" on the selected row's server.
  void watchRequested(const tarvix::Watch& watch);
  void joinRequested(const tarvix::Watch& server);
  void joinCancelRequested();
  void watchesRequested();
  // "history...": the history window for the selected row's server.
  void historyRequested(const std::string& address, const std::string& name);
  // "add to list...": the selected row's server is copied into a list the
  // user chooses.
  void addToListRequested(const std::string& serverName);
  // "delete server" removed `serverName` from the current list.
  void serverDeleted(const std::string& serverName);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The controls, defined in MainWindowUi.h: no other file sees them.
  struct Ui;

  // ---- building (MainWindow.cpp) ----
  void buildToolBar();
  void setToolButtonVisible(QToolButton* button, bool visible);
  // The banner, the labels, the split views, the progress and status bars.
  void buildViews(QWidget* central);
  QWidget* buildBanner(QWidget* central);
  QWidget* buildSummary(QWidget* central);
  // The player and buddy views side by side; the server view below them.
  QWidget* buildUpperViews();
  QWidget* buildServerView();
  void buildMenus();
  // "history..." in the server menu (MainWindowHistory.cpp).
  void buildHistoryAction();
  // "show last known results": on, rows not yet scanned this session show
  // the last recorded state of their server; off, such rows are "not
  // scanned" again.
  void showLastKnownResults(bool on);
  void showLastKnown(const std::map<std::string, LastState>& states);
  // A scan wrote the row: it is no longer greyed.
  void forgetLastKnown(QTreeWidgetItem* row);
  void buildTray();
  // F5, Ctrl+F, Delete and Ctrl+Q (MainWindowKeys.cpp).
  void bindKeys();
  void loadConfigAndList();
  void showBanner();
  void loadCurrentList();

  // ---- server view rows ----
  int serverRowCount() const;
  QTreeWidgetItem* serverRow(int index) const;
  // Appends a "not scanned" row for the server `name`.
  QTreeWidgetItem* addServerRow(const std::string& name);
  // Appends one for each of `names`, filtered once all are in.
  void addServerRows(std::span<const std::string> names);
  // A chosen list is shown a part per turn, then scanned (MainWindowLists.cpp).
  struct ListLoad;
  void loadListPart(const std::shared_ptr<ListLoad>& load);
  // `names` in the order the server view sorts new rows.
  std::vector<std::string> inViewOrder(const std::vector<std::string>& names) const;
  void setRowCaption(QTreeWidgetItem* row, const QString& caption);
  // A row's icon and caption from the row rule (app/core/ServerRow.h).
  void showRowState(QTreeWidgetItem* row, const ScanRow& state);
  void setRowIcon(QTreeWidgetItem* row, int icon);
  // Sorts the server view by sortColumn_ and sortDescending_.
  void sortServerView();
  // The hidden server-name list as names.
  int serverNameCount() const;
  void reloadServerNames();
  // "N servers in <current list>" in the status bar.
  void showServerCount(int count);
  // Buddy view caption from its row count.
  void updateBuddyCaption();
  // A column header was clicked: reverses the order and sorts by `column`
  // (kept for the end of a pass while one runs); a numeric column sorts best
  // first when it is clicked first.
  void sortServersBy(int column);
  // "delete server": removes the selected row's server from the list after
  // asking (refused while a pass runs).
  void deleteSelectedServer();
  // The automatic scan's timer: starts a pass unless one runs.
  void autoScanDue();
  // Where tarvix.ini keeps the split between the upper views and the server view.
  QString splitKey() const { return objectName() + "Split"; }

  // ---- scan pass (MainWindowScan.cpp) ----
  class PassView;
  // Stops the pass and waits for its thread without changing the window.
  void stopScanPass();
  // A scroll or a selection by the user during a pass ends its scrolling.
  void watchUserView();
  // A header click during a pass: kept for its end, noted in the status bar.
  void deferSortClick(int column);
  void applyDeferredSorts();
  void showStatusNote(const QString& note);

  // ---- server details, buddies, search (MainWindowDetails.cpp) ----
  void buildDetails();
  void resetGraph(int x);
  void showNoAnswer(bool rowSelection);
  void showAnswer(const ServerDetails& d);
  // A server row became selected: query it and show its details.
  void showSelectedServer(QTreeWidgetItem* row);
  void applyRowSelection(QTreeWidgetItem* row, const std::string& reply);
  // Double-click in the buddy view: go to the buddy's server.
  void goToBuddyServer();
  void applyBuddyReply(const std::string& reply);
  // Player view's "Add to Buddys".
  void addPlayerToBuddies();
  void startDetailsQuery(const std::string& ip, const std::string& port,
                         std::function<void(const std::string&)> apply);
  // Makes the server `name` of the current list the current server and
  // queries it; an unknown server is shown at once as not answering.
  void queryServerNamed(const std::string& name, std::function<void(const std::string&)> apply);
  // The newest query's reply arrived: shows it through pendingDetails_.
  void showDetails(const std::string& reply);
  // Cancels the query still waiting; its reply is never shown.
  void dropDetailsQuery();

  // ---- connect, options, quick add, direct connect (MainWindowLaunch.cpp) ----
  void wireLaunchHandlers();
  // "add server": the quick add window, only while no scan runs.
  void showQuickAdd();
  // Double-click in the player view: connect when the server view has rows.
  void connectFromPlayerView();
  // Starts the executable with the parameter string and watches for its end;
  // false when it could not be started, with `wineMissing` set when Wine,
  // which it needed, is not installed.
  bool runGame(const std::string& exePath, const std::string& params, bool& wineMissing);

  // ---- watches (MainWindowWatches.cpp) ----
  class WatchParts;
  void buildWatchMenu();
  // The selected row's server as a watch of `kind`; nothing without one.
  std::optional<Watch> selectedWatch(WatchKind kind) const;
  void selectServerNamed(const QString& server);
  // A notice of anything but a watch: a click on it selects nothing.
  void forgetAlertServer();
  WatchParts* watchParts_ = nullptr;

  // ---- the opt-in "Country" column and filter (MainWindowCountry.cpp) ----
  class CountryParts;
  // Removes the column (applyBrowserLooks puts it back last, after "Ping").
  void hideCountryColumn();
  void showCountryColumn(bool on);
  // Looks up the rows that have no country yet.
  void fillCountries();
  // The filter bar's country choice; empty for every country.
  std::string countryChoice() const;
  // What tarvix.ini keeps as the choice: the choice, or the kept one not yet
  // chosen again because no row of it is shown yet.
  std::string countryToKeep() const;
  CountryParts* countryParts_ = nullptr;

  // ---- ping shutdown (MainWindowPingShutdown.cpp) ----
  // Starts the run of the host checker's pings; they end with the program.
  void watchPingShutdown();
  // Shutdown: asks every ping to end, waiting until each has ended.
  void shutdownPingThreads();

  // ---- the opt-in "Ping" column and player order (MainWindowServerOrders.cpp) ----
  // Shows or removes the column and sets both orders; re-sorts when an order
  // changed and no pass runs.
  void showServerOrders(bool pingColumn, bool numericPlayers);
  // Keeps the reply time of the row's last pass (-1: none) for the column.
  void keepRowPing(QTreeWidgetItem* row, int replyMs);
  // The direction that puts the best first in a numeric column (the lowest
  // ping, the most players); none for a column sorted as text.
  std::optional<bool> descendingForBestFirst(int column) const;

  // ---- the filter bar (MainWindowFilter.cpp) ----
  // Built hidden above the server view; a hidden bar takes no room.
  void buildFilterBar(QWidget* central);
  void showFilterBar(bool on);
  // Hides or shows every row by the bar, then counts them in the status bar.
  void applyFilter();
  // A row whose texts changed: hidden or shown again by the bar.
  void filterServerRow(QTreeWidgetItem* row);
  // Rows just added, hidden by the bar as they come; counted by the caller.
  void filterNewRows(const QList<QTreeWidgetItem*>& rows);
  // A selected row the bar hid is no longer selected: its details clear and
  // it is no longer the current server, so nothing acts on it unseen.
  void dropHiddenSelection();
  // Keeps the names of the players in the row's last reply, for the filter.
  static void keepRowPlayers(QTreeWidgetItem* row, const std::string& reply);
  // The bar's ticks and text, shown or not.
  ServerFilter filterTicks() const;
  // Keeps them in tarvix.ini for the next start.
  void saveFilter() const;
  // "N of M servers shown" while rows are hidden and no pass runs; the
  // server count again once none is.
  void showShownCount();

  // The opt-in filter bar's controls (MainWindowUi.h).
  struct FilterBar;

  Settings& settings_;
  std::unique_ptr<Ui> ui_;
  std::unique_ptr<FilterBar> filter_;
  // "Player" sorts by count, then maximum (opt-in).
  bool numericPlayers_ = false;
  // Draws colour codes as colours; set while that look is on.
  QAbstractItemDelegate* colourDelegate_ = nullptr;
  // The colour-codes look is on: names outside the views lose their codes.
  bool colourCodes_ = false;

  bool scanning_ = false;
  // The list being loaded; none once it is shown.
  std::shared_ptr<ListLoad> listLoad_;
  int sortColumn_ = 0;
  bool sortDescending_ = false;
  bool firstShow_ = true;
  QString versionText_;
  // The server view re-sorts whenever a row's caption is set while this is on.
  bool autoSort_ = true;
  std::shared_ptr<HistoryRecorder> history_;
  bool scannedThisSession_ = false;
  BackgroundTask lastKnownRead_;
  // The running pass (a finished one until the stop joins it). Its stop
  // alone decides which of its changes reach the window.
  std::shared_ptr<ScanPass> scanPass_;
  // The pass scrolls to its rows until the user scrolls or selects.
  bool passScrollsView_ = true;
  // Header clicks made during the pass, in order.
  std::vector<int> deferredSortClicks_;
  // The status text as set, and a brief note shown after it.
  QString statusBase_;
  QString statusNote_;
  QTimer* statusNoteTimer_ = nullptr;

  // What the properties window shows for the current server.
  ServerInfo shownInfo_;

  // The newest details query, waiting off the UI thread.
  BackgroundTask detailsQuery_;
  std::function<void(const std::string&)> pendingDetails_;
  // "connect" asked for while a selection waited: runs once it is shown.
  bool connectAfterDetails_ = false;

  // The server view shows a running refresh's servers.
  bool showingFoundServers_ = false;

  int gamesRunning_ = 0;
  std::function<std::string()> nextConnectPassword_;
};

// The ISO code the "Country" column found for a server row; empty when none.
std::string rowCountry(const QTreeWidgetItem* row);

}  // namespace tarvix
