#pragma once
// "properties": the selected server's address, version, map rotation, web
// link and live ping, and the place where its join and rcon passwords are
// stored and it is marked as the admin console's default server.
#include <QWidget>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace tarvix {

class LinkLabel;
class PingGraph;

class ServerPropertiesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ServerPropertiesWindow(QWidget* parent = nullptr);

  QLineEdit* LabeledEdit1 = nullptr;  // server password
  QLineEdit* LabeledEdit3 = nullptr;  // rcon password
  QPushButton* Button2 = nullptr;     // "set" beside the rcon password
  QCheckBox* CheckBox1 = nullptr;     // rcon default
  QLabel* Label1 = nullptr;           // "ping:"
  QLineEdit* LabeledEdit2 = nullptr;  // ping time
  PingGraph* PaintBox1 = nullptr;     // ping graph, 249 x 22
  QLabel* Label2 = nullptr;           // "IP:"
  QLineEdit* Edit1 = nullptr;         // address + ":" + port
  LinkLabel* Legacy1 = nullptr;         // the server's web link
  QLineEdit* LabeledEdit4 = nullptr;  // Version
  QPlainTextEdit* Memo1 = nullptr;    // map rotation
  QPushButton* Button1 = nullptr;     // "set" (hidden): join password alone
  QMenu* PopupMenu1 = nullptr;        // menu of both password fields
  QAction* resetallpasswords1 = nullptr;

  // The passwords as shown or last saved, and the server they belong to.
  std::string ShownPassword;
  std::string ShownRconPassword;
  std::string ShownIP;
  std::string ShownPort;

  // Handlers.
  void FormShow();
  void FormHide();
  void FormClose();
  void Button2Click();  // save both passwords
  void Button1Click();  // save the join password alone
  void CheckBox1Click();
  void resetallpasswords1Click();
  void PaintBox1DblClick();

  // Saves the rcon record, then the join password record, for the shown
  // server. False when the password file could not be written.
  bool savePasswords();
  // Copies the main window's address, version, map rotation and link.
  void ShowServerInfo();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void focusMainWindow();
  void setHostChecking(bool on, bool checkNow);
};

}  // namespace tarvix
