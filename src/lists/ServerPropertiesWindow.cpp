#include "lists/ServerPropertiesWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "admin/AdminConsole.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/core/PingDisplay.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "components/HostChecker.h"
#include "components/LinkLabel.h"
#include "components/PingGraph.h"
#include "lists/LabeledEdit.h"
#include "lists/WebLink.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "components/Placement.h"

namespace tarvix {

namespace {

void makeBold(QLabel* label) {
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
}

QFont tahoma(const QFont& base) {
  QFont f = base;
  f.setFamily("Tahoma");
  return f;
}

}  // namespace

ServerPropertiesWindow::ServerPropertiesWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("Form11");
  setWindowTitle("properties");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  resetallpasswords1 = PopupMenu1->addAction("reset all passwords");
  resetallpasswords1->setObjectName("resetallpasswords1");

  LabeledEdit1 = makeLabeledEdit(this, "LabeledEdit1", "server password", 8, 6, 185);
  makeBold(labelOf(this, LabeledEdit1));
  Button1 = new QPushButton("set", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(200, 20, 57, 21);
  Button1->setVisible(false);

  LabeledEdit3 = makeLabeledEdit(this, "LabeledEdit3", "rcon password", 8, 46, 185);
  makeBold(labelOf(this, LabeledEdit3));
  Button2 = new QPushButton("set", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(200, 60, 57, 21);

  for (QLineEdit* edit : {LabeledEdit1, LabeledEdit3}) {
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this,
            [this, edit](const QPoint& pos) { PopupMenu1->popup(edit->mapToGlobal(pos)); });
  }

  CheckBox1 = new QCheckBox("rcon default", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setGeometry(8, 88, 120, 17);

  Label1 = new QLabel("ping:", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(8, 113, 30, 14);
  LabeledEdit2 = new QLineEdit(this);
  LabeledEdit2->setObjectName("LabeledEdit2");
  LabeledEdit2->setGeometry(40, 110, 60, 21);
  LabeledEdit2->setReadOnly(true);
  LabeledEdit2->setFont(tahoma(LabeledEdit2->font()));

  PaintBox1 = new PingGraph(249, 22, this);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->move(8, 136);
  PaintBox1->setToolTip("dblclick to reset");

  Label2 = new QLabel("IP:", this);
  Label2->setObjectName("Label2");
  Label2->setGeometry(8, 167, 18, 14);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setGeometry(28, 164, 229, 21);
  Edit1->setReadOnly(true);

  Legacy1 = makeWebLink(this, "Legacy1");
  Legacy1->setGeometry(8, 190, 152, 18);
  Legacy1->setFixedSize(152, 18);

  LabeledEdit4 = makeLabeledEdit(this, "LabeledEdit4", "Version", 8, 212, 249);
  LabeledEdit4->setReadOnly(true);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setGeometry(8, 254, 249, 120);
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

  // Clicking the ping field or the memo only moves the focus away from them.
  LabeledEdit2->setFocusPolicy(Qt::NoFocus);
  Memo1->setFocusPolicy(Qt::NoFocus);
  LabeledEdit2->installEventFilter(this);
  Memo1->viewport()->installEventFilter(this);

  setFixedSize(265, 382);
  centreOnDesktop(this);

  connect(Button2, &QPushButton::clicked, this, &ServerPropertiesWindow::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &ServerPropertiesWindow::Button1Click);
  connect(CheckBox1, &QCheckBox::clicked, this, &ServerPropertiesWindow::CheckBox1Click);
  connect(resetallpasswords1, &QAction::triggered, this, &ServerPropertiesWindow::resetallpasswords1Click);
  connect(PaintBox1, &PingGraph::doubleClicked, this, &ServerPropertiesWindow::PaintBox1DblClick);

  if (MainWindow* main = forms().Form1) {
    main->bindPingDisplay();
    connect(main, &MainWindow::GraphReset, this, [this, main] {
      PaintBox1->clear();
      PaintBox1->moveTo(main->GraphPen.x(), main->GraphPen.y());
    });
    connect(main, &MainWindow::DetailsShown, this, &ServerPropertiesWindow::ShowServerInfo);
  }
  ShowServerInfo();
}

void ServerPropertiesWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void ServerPropertiesWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void ServerPropertiesWindow::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

bool ServerPropertiesWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      (watched == LabeledEdit2 || watched == Memo1->viewport())) {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
  }
  return QWidget::eventFilter(watched, event);
}

void ServerPropertiesWindow::ShowServerInfo() {
  MainWindow* main = forms().Form1;
  if (!main) return;
  Edit1->setText(main->PropertiesAddress);
  Edit1->setCursorPosition(0);
  LabeledEdit4->setText(main->PropertiesVersion);
  LabeledEdit4->setCursorPosition(0);
  Memo1->setPlainText(main->PropertiesMapLines.join('\n'));
  Legacy1->setText(main->linkCaption);
  Legacy1->setAddress(main->linkTarget);
}

void ServerPropertiesWindow::setHostChecking(bool on, bool checkNow) {
  MainWindow* main = forms().Form1;
  if (!main || !main->HostChecker1) return;
  HostChecker* checker = main->HostChecker1;
  if (on) {
    checker->setHostName(main->settings().currentServer().ip);
    if (checkNow) checker->check();
    checker->setAutoCheckPeriod(static_cast<std::uint16_t>(main->settings().scanTimeout() & 0xFFFF));
  }
  checker->setAutoCheck(on);
}

void ServerPropertiesWindow::focusMainWindow() {
  if (MainWindow* main = forms().Form1) main->activateWindow();
}

void ServerPropertiesWindow::FormShow() {
  MainWindow* main = forms().Form1;
  const CurrentServer current = main ? main->settings().currentServer() : CurrentServer{};
  const std::string& ip = current.ip;
  const std::string& port = current.port;

  // The default server; an empty file keeps what the console holds.
  if (AdminConsole* console = forms().Form9) {
    DefaultServer def{console->DefaultHost, console->DefaultPort, console->DefaultRconPassword};
    try {
      readDefaultServerGroups(def);
      console->DefaultHost = def.ip;
      console->DefaultPort = def.port;
      console->DefaultRconPassword = def.rconPassword;
    } catch (const FileError& e) {
      dialogs().showError(toQString(e.what()));
    }
  }

  if (main) {
    main->GraphX = kGraphStartX;
    main->GraphY = 20;
  }
  PaintBox1->moveTo(kGraphStartX, 21);

  setHostChecking(true, true);

  LabeledEdit1->clear();
  LabeledEdit3->clear();
  try {
    const Passwords stored = lookupPasswords(ip, port);
    LabeledEdit1->setText(toQString(stored.join));
    LabeledEdit3->setText(toQString(stored.rcon));
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }

  // Setting the box here writes nothing: only a click writes "default".
  const AdminConsole* console = forms().Form9;
  CheckBox1->setChecked(console && console->DefaultHost == ip && console->DefaultPort == port);

  ShownPassword = toBytes(LabeledEdit1->text());
  ShownRconPassword = toBytes(LabeledEdit3->text());
  ShownIP = ip;
  ShownPort = port;
  ShowServerInfo();
}

void ServerPropertiesWindow::FormHide() {
  setHostChecking(false, false);
  if (toBytes(LabeledEdit1->text()) != ShownPassword ||
      toBytes(LabeledEdit3->text()) != ShownRconPassword) {
    if (dialogs().confirm("save changed passwords ?")) savePasswords();
  }
  if (CheckBox1->isChecked()) {
    try {
      writeDefaultServer({ShownIP, ShownPort, toBytes(LabeledEdit3->text())});
    } catch (const FileError& e) {
      dialogs().showError(toQString(e.what()));
    }
  }
  focusMainWindow();
}

void ServerPropertiesWindow::FormClose() { setHostChecking(false, false); }

bool ServerPropertiesWindow::savePasswords() {
  const std::string join = toBytes(LabeledEdit1->text());
  const std::string rcon = toBytes(LabeledEdit3->text());
  try {
    appendRconPassword(ShownIP, ShownPort, rcon);
    // An empty join password is saved too: it clears the stored one.
    appendPassword(ShownIP, ShownPort, join);
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return false;
  }
  ShownPassword = join;
  ShownRconPassword = rcon;
  if (isVisible()) {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
  }
  return true;
}

void ServerPropertiesWindow::Button2Click() { savePasswords(); }

void ServerPropertiesWindow::Button1Click() {
  const std::string join = toBytes(LabeledEdit1->text());
  try {
    appendPassword(ShownIP, ShownPort, join);
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  ShownPassword = join;
}

void ServerPropertiesWindow::CheckBox1Click() {
  // The server shown here, which the main window's selection may have left.
  try {
    if (CheckBox1->isChecked())
      writeDefaultServer({ShownIP, ShownPort, toBytes(LabeledEdit3->text())});
    else
      clearDefaultServer();
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }
  focusMainWindow();
}

void ServerPropertiesWindow::resetallpasswords1Click() {
  if (!dialogs().confirm("sure to reset all passwords ?\nthis will take effect on all servers!"))
    return;
  try {
    resetPasswords();
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  LabeledEdit1->clear();
  LabeledEdit3->clear();
  ShownPassword.clear();
  ShownRconPassword.clear();
}

void ServerPropertiesWindow::PaintBox1DblClick() {
  MainWindow* main = forms().Form1;
  const int y = main ? main->GraphY : 20;
  PaintBox1->clear();
  PaintBox1->moveTo(kGraphStartX, y);
  if (main) main->GraphX = kGraphStartX;
}

}  // namespace tarvix
