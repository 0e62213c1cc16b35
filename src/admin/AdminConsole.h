#pragma once
// "advanced remote console": the command line and console of one server, its
// player list, one-click actions, and the control of the anti-cheat worker
// and the announcer.
#include <QEvent>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "admin/ProgramStatus.h"
#include "admin/core/AntiCheatPass.h"
#include "base/SharedValue.h"
#include "protocol/UdpClient.h"

class QTreeWidgetItem;

namespace tarvix {

class Settings;
class WorkerControl;

// The password field's text while no password is known; it is no password.
inline constexpr const char* kPasswordPlaceholder = "enter rcon";

class AdminConsole : public QWidget {
  Q_OBJECT

 public:
  // The console's server is the current server of `settings`, or its
  // default server ("default", read on each opening, kept in `settings`).
  explicit AdminConsole(Settings& settings, QWidget* parent = nullptr);
  ~AdminConsole() override;

  // Where "debugit /sv" reads the program's version and scan state.
  void setProgramStatus(std::function<ProgramStatus()> status);

  // "r-con": re-opens the console on the current server, or, without one, on
  // the default server, which then becomes the current server.
  void openRemoteConsole();
  // The announcement, a pause of the scan time-out, then the map command and
  // its reply in the console; the console stays disabled meanwhile and
  // emits mapChangeFinished() at the end.
  void changeMap(const std::string& displayName, const std::string& rconName);
  void focusCommandLine();
  // Stops both workers and waits for their threads, changing no flag (used
  // on hiding and when the program ends).
  void stopWorkers();

  // ---- what the workers read; safe from any thread ----
  // The password field's text, empty while it holds the placeholder.
  std::string rconPassword() const { return rconPassword_.get(); }
  bool detectSkins() const { return detectSkins_.get(); }
  bool checkBans() const { return checkBans_.get(); }
  // The scan time-out in ms, which also paces the console's exchanges.
  int scanTimeout() const;

  // ---- what the workers change (UI thread) ----
  void addConsoleLine(const QString& line);
  QStringList consoleLines() const { return lines_; }
  QString statusText() const;
  void setStatusText(const QString& text);
  void clearPlayers();
  // A row named `id` for later changes; the list keeps its rows by name.
  void addPlayer(int id, const ConsolePlayer& player);
  void setPlayerText(int id, PlayerColumn column, const std::string& text);
  // "anticheatstop" and the announcer's stop, run by each pass at its end.
  void stopAntiCheat();
  void stopAnnouncer();

  // A worker of that kind has been started and not yet stopped.
  bool antiCheatRunning() const;
  bool announcerRunning() const;
  // True while a typed line's reply is awaited.
  bool commandPending() const;

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
  struct Ui;
  struct PendingLine;

  void buildWindow();
  QWidget* buildTopBar();
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

  // The console and its command line (AdminConsoleCommandLine.cpp).
  void clearConsole();
  void commandLineKey(int key);
  void enterCommandLine();
  void sendLine(const std::string& password, const std::string& command);
  void finishLine();
  // Ends a typed line's wait at once; its reply is not shown.
  void cancelLine();
  // Finishes a pending typed line so that the command client is free.
  void waitForCommandClient();
  void showVariables();
  void showLog(const char* title, const char* dashes, int kind);
  void clearConsoleAndFocus();
  void saveConsoleLog();
  void saveRconPassword();

  // Actions (AdminConsoleActions.cpp).
  void refreshPlayers();
  void kickPlayer();
  void banPlayerName();
  void banPlayerIp();
  void restartMap();
  void restartMapThreeTimes();
  void crashServer();
  void onDetectSkinsToggled();
  void onCheckBansToggled();
  void onShowNextMapToggled();
  // "default server": switch between the current and the default server.
  void onDefaultServerToggled();
  // Interval items: the timer's interval in ms and the console line's text.
  void setScanInterval(int ms, const QString& line);
  void setDisplayInterval(int ms, const QString& line);
  void setAntiCheatInterval(int ms);
  void setAnnouncerInterval(int ms);
  bool sendOneShot(const std::string& command);
  // With no password: says on the console that `what` is not sent; true.
  bool refuseWithoutPassword(const QString& what);
  // Selects the password field's placeholder on its focus and keys.
  void selectPlaceholder(QEvent::Type type);
  void restartRound(int round, bool ok);
  void finishMapChange(bool wasEnabled, const std::string& reply);
  QTreeWidgetItem* selectedPlayer() const;
  QTreeWidgetItem* playerWithId(int id) const;
  void appendBan(const QString& text);

  Settings& settings_;
  std::unique_ptr<Ui> ui_;
  std::function<ProgramStatus()> programStatus_;
  SharedValue<std::string> rconPassword_;
  SharedValue<bool> detectSkins_{false};
  SharedValue<bool> checkBans_{true};
  QStringList lines_;
  std::string lastCommand_;
  // The rcon password of the current (non-default) server.
  std::string savedRconPassword_ = kPasswordPlaceholder;
  // The timers' nominal intervals in ms (they run scaled by clock()).
  int antiCheatInterval_ = 150000;
  int announcerInterval_ = 1000;
  // The three clients, all aimed at the console's server. The command
  // client belongs to the UI thread (command line, actions, map change); the
  // other two give the server each new worker pass aims its own client at.
  UdpClient commandClient_;
  UdpClient antiCheatClient_;
  UdpClient announcerClient_;
  // A typed line whose reply is awaited off the UI thread.
  std::shared_ptr<PendingLine> pending_;
  std::unique_ptr<WorkerControl> antiCheat_;
  std::unique_ptr<WorkerControl> announcer_;
  bool shown_ = false;
  // An interval item is ticking "show next map": keep its interval.
  bool keepAnnouncerInterval_ = false;
};

}  // namespace tarvix
