#pragma once
// "advanced remote console": the command line and console of one server, its
// player list, one-click actions, and the control of the anti-cheat worker
// and the announcer.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "base/SharedValue.h"
#include "protocol/UdpClient.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvix {

class Settings;
class WorkerControl;

// The password field's text while no password is known; it is no password.
inline constexpr const char* kPasswordPlaceholder = "enter rcon";

// What "debugit /sv" shows of the rest of the program.
struct ProgramStatus {
  QString version;
  bool autoScanOn = false;
  bool scanning = false;
  unsigned long scanThreadId = 0;
};

// Columns of the player list.
enum ConsoleColumn {
  ColPlayer = 0,
  ColPing = 1,
  ColAxisSkin = 2,
  ColAlliesSkin = 3,
  ColRate = 4,
  ColIP = 5,
  ColScore = 6,
};

class AdminConsole : public QWidget {
  Q_OBJECT

 public:
  // The console's server is the current server of `settings`, or its
  // default server ("default", read on each opening, kept in `settings`).
  explicit AdminConsole(Settings& settings, QWidget* parent = nullptr);
  ~AdminConsole() override;

  // Where "debugit /sv" reads the program's version and scan state.
  void setProgramStatus(std::function<ProgramStatus()> status) {
    programStatus_ = std::move(status);
  }

  // ---- state ----
  std::string lastCommand;
  // The rcon password of the current (non-default) server.
  std::string savedRconPassword = kPasswordPlaceholder;
  // A worker of that kind has been started and not yet stopped by its stop
  // button.
  bool antiCheatRunning() const;
  bool announcerRunning() const;

  // The password field's text as it is now, empty while it holds the
  // placeholder; safe to call from any thread.
  std::string rconPassword() const { return rconPassword_.get(); }
  // "detect skins" and "check bans" as they are now; safe from any thread.
  bool detectSkins() const { return detectSkins_.get(); }
  bool checkBans() const { return checkBans_.get(); }
  // The scan time-out in ms, which also paces the console's exchanges; safe
  // from any thread.
  int scanTimeout() const;

  // The three UDP clients, all aimed at the console's server. The command
  // client belongs to the UI thread (command line, actions, map change): call
  // waitForCommandClient() before using it. The other two give the server
  // that each new anti-cheat or announcer pass aims its own client at.
  UdpClient commandClient;
  UdpClient antiCheatClient;
  UdpClient announcerClient;
  // Finishes a typed line's pending reply wait (showing its outcome) so that
  // the command client is free for the caller.
  void waitForCommandClient();
  // True while a typed line's reply is awaited.
  bool commandPending() const;

  // ---- controls ----
  QLineEdit* rconPasswordEdit = nullptr;
  QToolButton* changeMapButton = nullptr;
  QToolButton* skinListButton = nullptr;
  QToolButton* banListButton = nullptr;
  QCheckBox* detectSkinsCheckBox = nullptr;
  QCheckBox* checkBansCheckBox = nullptr;
  QCheckBox* showNextMapCheckBox = nullptr;
  QCheckBox* defaultServerCheckBox = nullptr;
  QTreeWidget* playerView = nullptr;
  QLineEdit* commandLine = nullptr;
  QPlainTextEdit* consoleView = nullptr;
  QStatusBar* statusBar = nullptr;
  QLabel* statusPanel = nullptr;
  QTimer* antiCheatTimer = nullptr;
  QTimer* announcerTimer = nullptr;
  // The timers' nominal intervals in ms (they run scaled by clock()).
  int antiCheatInterval = 150000;
  int announcerInterval = 1000;
  void setAntiCheatInterval(int ms);
  void setAnnouncerInterval(int ms);
  // Hidden buttons of the internal actions.
  QPushButton* saveLogButton = nullptr;
  QPushButton* savePasswordButton = nullptr;
  QPushButton* mapsButton = nullptr;
  QPushButton* antiCheatStopButton = nullptr;
  QPushButton* announcerStopButton = nullptr;

  // Right-click menus.
  QMenu* playerMenu = nullptr;
  QAction* refreshAction = nullptr;
  QAction* kickAction = nullptr;
  QAction* banPlayerAction = nullptr;
  QAction* banIpAction = nullptr;
  QAction* changeMapAction = nullptr;
  QAction* restartAction = nullptr;
  QAction* restartThreeTimesAction = nullptr;
  QAction* crashAction = nullptr;
  QMenu* scanIntervalMenu = nullptr;  // on "detect skins"
  QAction* scanEveryMinuteAction = nullptr;
  QAction* scanEvery2MinutesAction = nullptr;
  QAction* scanEvery5MinutesAction = nullptr;
  QAction* scanEvery10MinutesAction = nullptr;
  QAction* scanEvery15MinutesAction = nullptr;
  QMenu* nextMapMenu = nullptr;  // on "show next map"
  QAction* displayEvery2_5MinAction = nullptr;
  QAction* displayEvery5MinAction = nullptr;
  QAction* displayEvery10MinAction = nullptr;
  QAction* displayEvery15MinAction = nullptr;
  QAction* messagesAction = nullptr;
  QMenu* passwordMenu = nullptr;
  QAction* savePasswordAction = nullptr;
  QMenu* consoleMenu = nullptr;
  QAction* saveLogAction = nullptr;
  QAction* clearConsoleAction = nullptr;

  // ---- console (AdminConsoleCommandLine.cpp) ----
  void addConsoleLine(const QString& line);
  void addConsoleLines(const QStringList& lines);
  void clearConsole();
  QStringList consoleLines() const { return lines_; }
  QString statusText() const;
  void setStatusText(const QString& text);
  void focusCommandLine();
  // Command line keys: Up, Down, Enter.
  void commandLineKey(int key);
  // Processes the command line's text as an entered line.
  void enterCommandLine();
  // "clear console"
  void clearConsoleAndFocus();
  // "save rcon log"
  void saveConsoleLog();
  // "save rcon password"
  void saveRconPassword();

  // ---- actions (AdminConsoleActions.cpp) ----
  void refreshPlayers();
  void kickPlayer();
  void banPlayerName();
  void banPlayerIp();
  // "maps", "change map": the map change window.
  void showMapChange();
  void restartMap();
  void restartMapThreeTimes();
  void crashServer();
  void showBanList();
  void showSkinList();
  void showMessages();
  // Check box reactions (run whenever a box's state changes).
  void onDetectSkinsToggled();
  void onCheckBansToggled();
  void onShowNextMapToggled();
  // "default server": switch between the current and the default server.
  void onDefaultServerToggled();
  // Interval items: the timer's interval in ms and the console line's text.
  void setScanInterval(int ms, const QString& line);
  void setDisplayInterval(int ms, const QString& line);

  // ---- opening ----
  // "r-con": re-opens the console on the current server, or, without one, on
  // the default server, which then becomes the current server.
  void openRemoteConsole();

  // ---- map change (AdminConsoleMapChange.cpp) ----
  // The announcement, a pause of the scan time-out, then the map command and
  // its reply in the console; the console stays disabled meanwhile and
  // emits mapChangeFinished() at the end.
  void changeMap(const std::string& displayName, const std::string& rconName);

  // ---- worker control (AdminConsoleWorkers.cpp) ----
  void startAntiCheat();
  void startAnnouncer();
  // "anticheatstop": run by each anti-cheat pass at its end and by actions.
  void stopAntiCheat();
  // The announcer's stop, run by each announcer pass at its end.
  void stopAnnouncer();
  void onAntiCheatTimer();
  void onAnnouncerTimer();
  // Stops both workers and waits for their threads, changing no flag (used
  // on hiding and when the program ends).
  void stopWorkers();
  // The player list's rows, in order.
  int playerRowCount() const;
  QTreeWidgetItem* playerRow(int index) const;

 signals:
  // The list windows the console's buttons and items show.
  void mapListRequested();
  void banListRequested();
  void skinListRequested();
  void messagesRequested();
  // A changeMap() has ended.
  void mapChangeFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow();
  void buildMenus();
  void connectActions();
  // Opening: boxes, default server, password, clients, greeting, first pass.
  void openConsole();
  // Hiding: clients closed, timers off, workers stopped; the flags stay.
  void closeConsole();
  // Puts the rcon password stored for the server into the password field;
  // false after showing a file error.
  bool showStoredRconPassword(const std::string& ip, const std::string& port);
  void aimClients(const std::string& host, const std::string& port);
  void sendLine(const std::string& password, const std::string& command);
  void finishLine();
  // Ends a typed line's wait at once; its reply is not shown.
  void cancelLine();
  void showVariables();
  void showLog(const char* title, const char* dashes, int kind);
  bool sendOneShot(const std::string& command);
  // With no password: says on the console that `what` is not sent; true.
  bool refuseWithoutPassword(const QString& what);
  void restartRound(int round, bool ok);
  void finishMapChange(bool wasEnabled, const std::string& reply);
  QTreeWidgetItem* selectedPlayer() const;
  void appendBan(const QString& text);

  Settings& settings_;
  std::function<ProgramStatus()> programStatus_;
  SharedValue<std::string> rconPassword_;
  SharedValue<bool> detectSkins_{false};
  SharedValue<bool> checkBans_{true};
  QStringList lines_;

  // A typed line whose reply is awaited off the UI thread.
  struct PendingLine;
  std::shared_ptr<PendingLine> pending_;

  std::unique_ptr<WorkerControl> antiCheat_;
  std::unique_ptr<WorkerControl> announcer_;
  bool shown_ = false;
  // An interval item is ticking "show next map": keep its interval.
  bool keepAnnouncerInterval_ = false;
};

}  // namespace tarvix
