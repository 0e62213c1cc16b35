#pragma once
// "advanced remote console": the command line and console of one server, its
// player list, one-click actions, and the control of the anti-cheat worker
// and the announcer.
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>
#include <thread>

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

class WorkerControl;

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
  explicit AdminConsole(QWidget* parent = nullptr);
  ~AdminConsole() override;

  // ---- state ----
  std::string LastCommand;
  // The three lines of "default", read on each opening.
  std::string DefaultHost;
  std::string DefaultPort;
  std::string DefaultRconPassword;
  // The rcon password of the current (non-default) server.
  std::string SavedRconPassword = "enter rcon";
  // A worker of that kind has been started and not yet stopped.
  bool AntiCheatRunning = false;
  bool ChatterRunning = false;

  // The password field's text as it is now; safe to call from any thread.
  std::string rconPassword() const { return rconPassword_.get(); }
  // "detect skins" and "check bans" as they are now; safe from any thread.
  bool DetectSkins() const { return detectSkins_.get(); }
  bool CheckBans() const { return checkBans_.get(); }

  // The three UDP clients, all aimed at the console's server. IdUDPClient1
  // belongs to the UI thread (command line, actions, map change): call
  // Client1Idle() before using it. IdUDPClient2 and IdUDPClient3 give the
  // server that each new anti-cheat or announcer pass aims its own client at.
  UdpClient IdUDPClient1;
  UdpClient IdUDPClient2;
  UdpClient IdUDPClient3;
  // Finishes a typed line's pending reply wait (showing its outcome) so that
  // IdUDPClient1 is free for the caller.
  void Client1Idle();
  // True while a typed line's reply is awaited.
  bool CommandPending() const { return static_cast<bool>(pending_); }

  // ---- controls ----
  QLineEdit* LabeledEdit1 = nullptr;  // rcon password
  QToolButton* BitBtn1 = nullptr;     // change map
  QToolButton* BitBtn3 = nullptr;     // skin list
  QToolButton* BitBtn2 = nullptr;     // ban list
  QCheckBox* CheckBox1 = nullptr;     // detect skins
  QCheckBox* CheckBox3 = nullptr;     // check bans
  QCheckBox* CheckBox4 = nullptr;     // show next map
  QCheckBox* CheckBox2 = nullptr;     // default server
  QTreeWidget* ListView1 = nullptr;   // ConsolePlayerList
  QLineEdit* Edit1 = nullptr;         // command line
  QPlainTextEdit* Memo1 = nullptr;    // console
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel = nullptr;
  QTimer* Timer1 = nullptr;  // anti-cheat
  QTimer* Timer2 = nullptr;  // announcer
  // The timers' nominal intervals in ms (they run scaled by clock()).
  int Timer1Interval = 150000;
  int Timer2Interval = 1000;
  void setTimer1Interval(int ms);
  void setTimer2Interval(int ms);
  // Hidden buttons of the internal actions.
  QPushButton* Button1 = nullptr;  // save rcon log
  QPushButton* Button2 = nullptr;  // save rcon password
  QPushButton* Button4 = nullptr;  // maps
  QPushButton* Button5 = nullptr;  // anticheatstop
  QPushButton* Button6 = nullptr;  // stop the announcer

  // Right-click menus.
  QMenu* PopupMenu1 = nullptr;  // player list
  QAction* refresh1 = nullptr;
  QAction* kick1 = nullptr;
  QAction* banplayer1 = nullptr;
  QAction* banip1 = nullptr;
  QAction* changemap1 = nullptr;
  QAction* restart1x1 = nullptr;
  QAction* restart3x1 = nullptr;
  QAction* crash1 = nullptr;
  QMenu* PopupMenu2 = nullptr;  // detect skins
  QAction* scaneveryminute1 = nullptr;
  QAction* scanevery2minutes1 = nullptr;
  QAction* scanevery5minutes1 = nullptr;
  QAction* scanevery10minutes1 = nullptr;
  QAction* scanevery15minutes1 = nullptr;
  QMenu* PopupMenu3 = nullptr;  // show next map
  QAction* displayevery25min1 = nullptr;
  QAction* displayevery5min1 = nullptr;
  QAction* displayevery10min1 = nullptr;
  QAction* displayevery15min1 = nullptr;
  QAction* messages1 = nullptr;
  QMenu* PopupMenu4 = nullptr;  // password field
  QAction* saverconpassword1 = nullptr;
  QMenu* PopupMenu5 = nullptr;  // console
  QAction* saverconlog1 = nullptr;
  QAction* clearconsole1 = nullptr;

  // ---- console (TForm9Console.cpp) ----
  void addConsoleLine(const QString& line);
  void addConsoleLines(const QStringList& lines);
  void clearConsole();
  QStringList consoleLines() const { return lines_; }
  QString statusText() const;
  void setStatusText(const QString& text);
  void focusCommandLine();
  // Command line keys: Up, Down, Enter.
  void Edit1KeyDown(int key);
  // Processes the command line's text as an entered line.
  void Edit1Enter();
  void clearconsole1Click();
  void Button1Click();  // save rcon log
  void Button2Click();  // save rcon password

  // ---- actions (TForm9Actions.cpp) ----
  void refresh1Click();
  void kick1Click();
  void banplayer1Click();
  void banip1Click();
  void Button4Click();  // maps: the map change window
  void restart1x1Click();
  void restart3x1Click();
  void crash1Click();
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();
  void messages1Click();
  // Check box reactions (run whenever a box's state changes).
  void CheckBox1Click();
  void CheckBox3Click();
  void CheckBox4Click();
  void CheckBox2Click();  // switch between the current and the default server
  // Interval items: the timer's interval in ms and the console line's text.
  void scanInterval(int ms, const QString& line);
  void displayInterval(int ms, const QString& line);

  // ---- worker control (AdminConsoleWorkers.cpp) ----
  void startAntiCheat();
  void startChatter();
  void Button5Click();  // anticheatstop
  void Button6Click();  // stop the announcer
  void Timer1Timer();
  void Timer2Timer();
  // Stops both workers and waits for their threads, changing no flag (used
  // on hiding and when the program ends).
  void stopWorkers();
  // The player list's rows, in order.
  int playerRowCount() const;
  QTreeWidgetItem* playerRow(int index) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow();
  void buildMenus();
  void connectActions();
  void FormShow();
  void FormHide();
  void aimClients(const std::string& host, const std::string& port);
  void sendLine(const std::string& password, const std::string& command);
  void finishLine();
  // Ends a typed line's wait at once; its reply is not shown.
  void cancelLine();
  void showVariables();
  void showLog(const char* title, const char* dashes, int kind);
  bool sendOneShot(const std::string& command);
  QTreeWidgetItem* selectedPlayer() const;
  void appendBan(const QString& text);

  SharedValue<std::string> rconPassword_;
  SharedValue<bool> detectSkins_{false};
  SharedValue<bool> checkBans_{true};
  QStringList lines_;

  // A typed line whose reply is awaited off the UI thread.
  struct PendingLine;
  std::shared_ptr<PendingLine> pending_;

  std::unique_ptr<WorkerControl> antiCheat_;
  std::unique_ptr<WorkerControl> chatter_;
  bool shown_ = false;
  // An interval item is ticking "show next map": keep its interval.
  bool keepTimer2Interval_ = false;
};

}  // namespace tarvix
