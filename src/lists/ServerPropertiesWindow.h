#pragma once
// "properties": the selected server's address, version, map rotation, web
// link and live ping, and the place where its join and rcon passwords are
// stored and it is marked as the admin console's default server.
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "lists/ServerInfo.h"
#include "store/Config.h"

class QCheckBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;

namespace tarvix {

class HostChecker;
class LinkLabel;
class PingGraph;
class Settings;

class ServerPropertiesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ServerPropertiesWindow(Settings& settings, QWidget* parent = nullptr);
  ~ServerPropertiesWindow() override;

  // One line of the host checker: the ping field and one step of the graph.
  void showPingLine(const std::string& line);
  // Where the graph's next step goes: x moves left one pixel per line, y
  // follows the ping.
  int graphX() const { return graphX_; }
  int graphY() const { return graphY_; }

 public slots:
  // The main window's details of the current server.
  void showServerInfo(const ServerInfo& info);
  // The main window's row selection: graph cleared, pen at `pen`, the next
  // step drawn at `x` - 1.
  void resetPingGraph(int x, QPoint pen);
  // Hide and show again, so that the window reads its server again.
  void reopen();
  // The window this one stays above, as its transient: selecting another
  // server shows this window again and activates `owner`, and a window
  // manager that loses the on-top hint on the way still keeps it in front.
  void stayAbove(QWidget* owner) { owner_ = owner; }

 signals:
  void mainWindowFocusRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls, defined in the .cpp: no other file sees them.
  struct Ui;

  // Showing: the default server, the ping graph, the stored passwords.
  void loadShownServer();
  // Hiding: offers to save changed passwords and writes the default server.
  void offerToSavePasswords();
  // Saves the rcon record, then the join password record, for the shown
  // server. False when the password file could not be written.
  bool savePasswords();
  // Saves the join password alone (the hidden "set" button).
  void saveServerPassword();
  void resetAllPasswords();
  // Double-click on the graph: cleared, pen at the start at the current height.
  void restartPingGraph();
  void onRconDefaultClicked();
  void setHostChecking(bool on, bool checkNow);

  Settings& settings_;
  std::unique_ptr<Ui> ui_;
  QPointer<QWidget> owner_;
  ServerInfo info_;
  // The passwords as shown or last saved, and the server they belong to.
  std::string shownPassword_;
  std::string shownRconPassword_;
  std::string shownIp_;
  std::string shownPort_;
  // The ping graph's pen.
  int graphX_;
  int graphY_ = 11;
};

}  // namespace tarvix
