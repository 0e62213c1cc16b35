#pragma once
// The main window: settings, the current server, the server, player and
// buddy views, the tool bar and its menus.
#include <QMainWindow>
#include <string>

#include "store/Settings.h"
#include "app/core/AsyncStatusQuery.h"
#include "lists/ScanState.h"
#include "app/core/ServerDetails.h"
#include <QPoint>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvix {

// State icons of the server view's rows.
enum ServerIcon { IconNotScanned = 0, IconAnswered = 1, IconFull = 2, IconNoAnswer = 3 };

class MainWindow : public QMainWindow, public ScanState {
  Q_OBJECT

 public:
  // Reads Config into `settings` (over the values it holds) and loads the
  // current server list.
  explicit MainWindow(Settings& settings, QWidget* parent = nullptr);
  ~MainWindow() override;

  // ---- asked for by other windows ----
  // The program's settings, for windows that are not yet handed them.
  Settings& settings() const { return settings_; }
  // For the lists windows (MainWindowLists.cpp).
  bool scanRunning() const override;
  bool autoScanRunning() const override;
  void setAutoScan(bool on);
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
  void showEdition(const QString& edition);

  // The window's own state; the settings and the current server are in
  // Settings.
  bool Scanning = false;
  int SortColumn = 0;
  bool SortDescending = false;
  // Where the ping graph's next step goes after the last reset.
  int GraphX = 250;
  bool FirstShow = true;
  QString VersionText;
  // The server view re-sorts whenever a row's caption is set while this is on.
  bool AutoSort = true;

  // Controls, named as the components they are.
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton3 = nullptr;   // scan now
  QToolButton* ToolButton9 = nullptr;   // stop scan
  QToolButton* ToolButton6 = nullptr;   // search
  QToolButton* ToolButton1 = nullptr;   // connect
  QToolButton* ToolButton10 = nullptr;  // d-connect
  QToolButton* ToolButton2 = nullptr;   // buddies
  QToolButton* ToolButton5 = nullptr;   // clantags
  QToolButton* ToolButton7 = nullptr;   // r-con
  QToolButton* ToolButton4 = nullptr;   // options
  QComboBox* ComboBoxEx1 = nullptr;     // hidden server-name list
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Image3 = nullptr;
  QLabel* Image4 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QTreeWidget* ListView1 = nullptr;  // players
  QTreeWidget* ListView2 = nullptr;  // buddies
  QTreeWidget* ListView3 = nullptr;  // servers
  QProgressBar* ProgressBar1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel = nullptr;
  QTimer* Timer1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* AddtoBuddys1 = nullptr;
  QAction* Connectwithserver1 = nullptr;
  QMenu* PopupMenu4 = nullptr;
  QAction* rcon1 = nullptr;
  QAction* properties1 = nullptr;
  QAction* addserver1 = nullptr;
  QAction* deleteserver1 = nullptr;
  QAction* scannow1 = nullptr;
  QAction* search1 = nullptr;
  QAction* connect1 = nullptr;
  QAction* directconnect1 = nullptr;
  QMenu* PopupMenu5 = nullptr;
  QAction* options2 = nullptr;
  QAction* scannow2 = nullptr;
  QAction* exit1 = nullptr;
  class TrayIcon* Systray1 = nullptr;

  // Status bar text (its one panel).
  QString statusText() const;
  void setStatusText(const QString& text);

  // Server view rows.
  int serverRowCount() const;
  QTreeWidgetItem* serverRow(int index) const;
  // Appends a "not scanned" row for the server `name`.
  QTreeWidgetItem* addServerRow(const std::string& name);
  void setRowCaption(QTreeWidgetItem* row, const QString& caption);
  void setRowIcon(QTreeWidgetItem* row, int icon);
  // Sorts the server view by SortColumn and SortDescending.
  void sortServerView();
  // The hidden server-name list as names.
  int serverNameCount() const;
  void reloadServerNames();

  // Buddy view caption from its row count.
  void updateBuddyCaption();

  // Handlers.
  void ListView3ColumnClick(int column);
  void deleteserver1Click();
  void Timer1Timer();
  void ToolButton3Click();  // scan now

  // ---- scan pass and buddy matching (TForm1Scan.cpp) ----
  // The running pass (a finished one until the stop joins it).
  std::shared_ptr<class ScanPass> ScanThread;
  // Changes with every start and stop; changes posted by an older pass are dropped.
  unsigned ScanGeneration = 0;
  void ToolButton9Click();  // stop scan
  // Stops the pass and waits for its thread without changing the window.
  void stopScanThread();

  // ---- server details, buddies, search (TForm1Details.cpp) ----
  // The window's own status queries: a fresh client per query, waiting off
  // the UI thread; a newer query supersedes the one still waiting.
  std::unique_ptr<AsyncStatusQuery> IdUDPClient1;
  // What the properties window shows for the current server.
  QString PropertiesAddress;       // "IP:" field: address + ":" + port
  QString PropertiesVersion;       // "Version" field
  QStringList PropertiesMapLines;  // map rotation memo
  QString linkCaption;             // link label caption
  QString linkTarget;              // link label target
  QPoint GraphPen{250, 11};        // pen of the ping graph after the last reset
  int GraphResets = 0;             // how often the graph was cleared

  // A server row became selected: query it and show its details.
  void ListView3SelectItem(QTreeWidgetItem* row);
  // Double-click in the buddy view: go to the buddy's server.
  void ListView2DblClick();
  // Player view's "Add to Buddys".
  void AddtoBuddys1Click();
  // True while the newest details query waits for its reply.
  bool detailsQueryPending() const;
  // Drops the reply of a selection still waiting (another server was chosen).
  void cancelDetailsQuery();
  // Shows and hides the search window once, with "server" checked.
  void FirstShowSearch();
 signals:
  // The ping graph was cleared and its pen moved to GraphPen.
  void GraphReset();
  // The newest details query was shown (its answer or the no-answer display).
  void DetailsShown();
  // "r-con" or "rcon" was chosen: open the admin console.
  void remoteConsoleRequested();
  // The program is ending: background workers of other windows must stop.
  void shuttingDown();
  // A scan pass ran to its end; its buddy and clan-tag hits are in the buddy view.
  void scanPassFinished();

 private:
  void buildDetails();
  void resetGraph(int graphX);
  void showNoAnswer(bool rowSelection);
  void showAnswer(const ServerDetails& d);
  void applyRowSelection(QTreeWidgetItem* row, const std::string& reply);
  void applyBuddyReply(const std::string& reply);
  void startDetailsQuery(const std::string& ip, const std::string& port,
                         std::function<void(const std::string&)> apply);
  // Makes the server `name` of the current list the current server and
  // queries it; an unknown server is shown at once as not answering.
  void queryServerNamed(const std::string& name, std::function<void(const std::string&)> apply);
  void refreshProperties();
  void onDetailsReply(std::uint64_t ticket, const std::string& reply);
  std::function<void(const std::string&)> pendingDetails_;
  std::uint64_t detailsShown_ = 0;
  // "connect" asked for while a selection waited: runs once it is shown.
  bool connectAfterDetails_ = false;

 public:
  // ---- connect, options, quick add, direct connect (TForm1Launch.cpp) ----
  // "connect": starts the game on the current server and returns when it has
  // ended or could not be started; the windows keep working meanwhile.
  void ToolButton1Click();
  // "options" button and the tray menu's "options".
  void ToolButton4Click();
  // "d-connect" button and the "direct connect" item.
  void ToolButton10Click();
  // "add server": the quick add window, only while no scan runs.
  void addserver1Click();
  // Double-click in the player view: connect when the server view has rows.
  void ListView1DblClick();
  // Games started by connect whose end is still awaited.
  int gamesRunning() const { return gamesRunning_; }

 private:
  void connectLaunchHandlers();
  // Starts the executable with the parameter string and waits for its end;
  // false when it could not be started.
  bool runGame(const std::string& exePath, const std::string& params);
  int gamesRunning_ = 0;

 public:
  // ---- ping shutdown (MainWindowNet.cpp) ----
  // Starts the run of the host checker's pings; they end with the program.
  void watchPingShutdown();
  // Shutdown: asks every ping to end, waiting until each has ended.
  void shutdownPingThreads();

 public:
  // ---- admin console (TForm1Console.cpp) ----
  // "r-con" and "rcon": opens the admin console on the current server, or on
  // the default server when there is no current one.

 public:
  // Ends the window's own work: the scan, the console's workers, the timer,
  // the tray icon and the ping threads. Closing the window does this too.
  void shutdown();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Settings& settings_;
  void buildToolBar();
  void setToolButtonVisible(QToolButton* button, bool visible);
  void buildViews(QWidget* central);
  void buildMenus();
  void buildTray();
  void FormCreate();
  void showBanner();
  void loadCurrentList();
};

}  // namespace tarvix
