// The console window: layout, menus, opening and hiding.
#include "admin/AdminConsole.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "admin/AdminConsoleWorkers.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "components/Placement.h"

namespace tarvix {

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kMedGray(0xA4, 0xA0, 0xA0);

QFont fixedsys() {
  QFont f("Fixedsys");
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  return f;
}

void setBase(QWidget* w, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Base, colour);
  w->setPalette(pal);
}

QToolButton* pictureButton(QWidget* parent, const char* name, const QString& hint,
                           QStyle::StandardPixmap picture) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setToolTip(hint);
  b->setIcon(parent->style()->standardIcon(picture));
  b->setIconSize(QSize(14, 14));
  b->setFixedSize(20, 20);
  return b;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption,
                    const QString& hint) {
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  c->setToolTip(hint);
  return c;
}

QAction* item(QMenu* menu, const char* name, const QString& caption) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  return a;
}

QPushButton* hiddenButton(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setVisible(false);
  return b;
}

}  // namespace

AdminConsole::AdminConsole(QWidget* parent) : QWidget(parent) {
  setObjectName("Form9");
  setWindowTitle("advanced remote console");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  buildWindow();
  buildMenus();
  antiCheat_ = makeAntiCheatControl(this);
  chatter_ = makeChatterControl(this);
  connectActions();
  resize(691, 450);
  setMinimumSize(400, 400);
  centreOnDesktop(this);
}

AdminConsole::~AdminConsole() {
  cancelLine();
  stopWorkers();
}

void AdminConsole::buildWindow() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* top = new QWidget(this);
  top->setObjectName("Panel1");
  top->setFixedHeight(23);
  auto* bar = new QHBoxLayout(top);
  bar->setContentsMargins(1, 1, 1, 1);
  bar->setSpacing(3);
  LabeledEdit1 = new QLineEdit(top);
  LabeledEdit1->setObjectName("LabeledEdit1");
  LabeledEdit1->setFixedWidth(105);
  LabeledEdit1->setFont(fixedsys());
  setBase(LabeledEdit1, kSilver);
  LabeledEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
  bar->addWidget(LabeledEdit1);
  BitBtn1 = pictureButton(top, "BitBtn1", "change map", QStyle::SP_BrowserReload);
  BitBtn3 = pictureButton(top, "BitBtn3", "skin list", QStyle::SP_FileDialogDetailedView);
  BitBtn2 = pictureButton(top, "BitBtn2", "ban list", QStyle::SP_DialogCancelButton);
  bar->addWidget(BitBtn1);
  bar->addWidget(BitBtn3);
  bar->addWidget(BitBtn2);
  CheckBox1 = checkBox(top, "CheckBox1", "detect skins", "drightclick for options");
  CheckBox3 = checkBox(top, "CheckBox3", "check bans", "enable to check bans during skin scan");
  CheckBox4 = checkBox(top, "CheckBox4", "show next map", "display next map on server");
  CheckBox2 = checkBox(top, "CheckBox2", "default server", "switch to your default server");
  CheckBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  CheckBox4->setContextMenuPolicy(Qt::CustomContextMenu);
  bar->addWidget(CheckBox1);
  bar->addWidget(CheckBox3);
  bar->addWidget(CheckBox4);
  bar->addWidget(CheckBox2);
  bar->addStretch(1);
  CheckBox3->setChecked(true);
  CheckBox2->setVisible(false);
  layout->addWidget(top);

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setFixedHeight(224);
  ListView1->setRootIsDecorated(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  ListView1->setIconSize(QSize(16, 16));
  setBase(ListView1, kSilver);
  ListView1->setHeaderLabels(
      {"Player", "Ping", "Axis skin", "Allies skin", "Rate", "IP", "Score"});
  const int widths[] = {150, 50, 125, 125, 60, 110, 40};
  for (int i = 0; i < 7; ++i) ListView1->setColumnWidth(i, widths[i]);
  ListView1->header()->setStretchLastSection(false);
  ListView1->header()->setSectionsClickable(false);
  ListView1->setSortingEnabled(false);
  layout->addWidget(ListView1);

  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setFont(fixedsys());
  setBase(Edit1, kMedGray);
  Edit1->installEventFilter(this);
  layout->addWidget(Edit1);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setFont(fixedsys());
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
  setBase(Memo1, kSilver);
  layout->addWidget(Memo1, 1);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(true);
  StatusPanel = new QLabel(StatusBar1);
  StatusPanel->setObjectName("StatusPanel");
  StatusBar1->addWidget(StatusPanel, 1);
  layout->addWidget(StatusBar1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  setTimer1Interval(150000);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  setTimer2Interval(1000);

  Button1 = hiddenButton(this, "Button1", "save rcon log");
  Button2 = hiddenButton(this, "Button2", "save rcon password");
  Button4 = hiddenButton(this, "Button4", "maps");
  Button5 = hiddenButton(this, "Button5", "anticheatstop");
  Button6 = hiddenButton(this, "Button6", QString());
}

void AdminConsole::buildMenus() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  refresh1 = item(PopupMenu1, "refresh1", "refresh");
  PopupMenu1->addSeparator();
  kick1 = item(PopupMenu1, "kick1", "kick");
  banplayer1 = item(PopupMenu1, "banplayer1", "ban player");
  banip1 = item(PopupMenu1, "banip1", "ban ip");
  PopupMenu1->addSeparator();
  changemap1 = item(PopupMenu1, "changemap1", "change map");
  restart1x1 = item(PopupMenu1, "restart1x1", "restart 1x");
  restart3x1 = item(PopupMenu1, "restart3x1", "restart 3x");
  PopupMenu1->addSeparator();
  crash1 = item(PopupMenu1, "crash1", "crash");

  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName("PopupMenu2");
  scaneveryminute1 = item(PopupMenu2, "scaneveryminute1", "scan every minute");
  scanevery2minutes1 = item(PopupMenu2, "scanevery2minutes1", "scan every 2 minutes");
  scanevery5minutes1 = item(PopupMenu2, "scanevery5minutes1", "scan every 5 minutes");
  scanevery10minutes1 = item(PopupMenu2, "scanevery10minutes1", "scan every 10 minutes");
  scanevery15minutes1 = item(PopupMenu2, "scanevery15minutes1", "scan every 15 minutes");

  PopupMenu3 = new QMenu(this);
  PopupMenu3->setObjectName("PopupMenu3");
  displayevery25min1 = item(PopupMenu3, "displayevery25min1", "display every 2.5 min");
  displayevery5min1 = item(PopupMenu3, "displayevery5min1", "display every 5 min");
  displayevery10min1 = item(PopupMenu3, "displayevery10min1", "display every 10 min");
  displayevery15min1 = item(PopupMenu3, "displayevery15min1", "display every 15 min");
  PopupMenu3->addSeparator();
  messages1 = item(PopupMenu3, "messages1", "messages");

  PopupMenu4 = new QMenu(this);
  PopupMenu4->setObjectName("PopupMenu4");
  saverconpassword1 = item(PopupMenu4, "saverconpassword1", "save rcon password");

  PopupMenu5 = new QMenu(this);
  PopupMenu5->setObjectName("PopupMenu5");
  saverconlog1 = item(PopupMenu5, "saverconlog1", "save rcon log");
  clearconsole1 = item(PopupMenu5, "clearconsole1", "clear console");
}

void AdminConsole::connectActions() {
  auto popup = [this](QWidget* w, QMenu* menu) {
    connect(w, &QWidget::customContextMenuRequested, this,
            [w, menu](const QPoint& at) { menu->popup(w->mapToGlobal(at)); });
  };
  popup(ListView1, PopupMenu1);
  popup(CheckBox1, PopupMenu2);
  popup(CheckBox4, PopupMenu3);
  popup(LabeledEdit1, PopupMenu4);
  popup(Memo1, PopupMenu5);

  connect(LabeledEdit1, &QLineEdit::textChanged, this,
          [this](const QString& text) { rconPassword_ = toBytes(text); });

  connect(refresh1, &QAction::triggered, this, &AdminConsole::refresh1Click);
  connect(kick1, &QAction::triggered, this, &AdminConsole::kick1Click);
  connect(banplayer1, &QAction::triggered, this, &AdminConsole::banplayer1Click);
  connect(banip1, &QAction::triggered, this, &AdminConsole::banip1Click);
  connect(changemap1, &QAction::triggered, this, &AdminConsole::Button4Click);
  connect(restart1x1, &QAction::triggered, this, &AdminConsole::restart1x1Click);
  connect(restart3x1, &QAction::triggered, this, &AdminConsole::restart3x1Click);
  connect(crash1, &QAction::triggered, this, &AdminConsole::crash1Click);

  const struct {
    QAction* item;
    int ms;
    const char* line;
  } scans[] = {
      {scaneveryminute1, 60000, "!! -> scanner interval 1 minute"},
      {scanevery2minutes1, 150000, "!! -> scanner interval 2 minutes"},
      {scanevery5minutes1, 300000, "!! -> scanner interval 5 minutes"},
      {scanevery10minutes1, 600000, "!! -> scanner interval 10 minutes"},
      {scanevery15minutes1, 900000, "!! -> scanner interval 15 minutes"},
  };
  for (const auto& s : scans) {
    const int ms = s.ms;
    const QString line = s.line;
    connect(s.item, &QAction::triggered, this, [this, ms, line] { scanInterval(ms, line); });
  }
  const struct {
    QAction* item;
    int ms;
    const char* line;
  } displays[] = {
      {displayevery25min1, 150000, "!! -> display next map every 2.5 minutes"},
      {displayevery5min1, 300000, "!! -> display next map every 5 minutes"},
      {displayevery10min1, 600000, "!! -> display next map every 10 minutes"},
      {displayevery15min1, 900000, "!! -> display next map every 15 minutes"},
  };
  for (const auto& d : displays) {
    const int ms = d.ms;
    const QString line = d.line;
    connect(d.item, &QAction::triggered, this, [this, ms, line] { displayInterval(ms, line); });
  }
  connect(messages1, &QAction::triggered, this, &AdminConsole::messages1Click);
  connect(saverconpassword1, &QAction::triggered, this, &AdminConsole::Button2Click);
  connect(saverconlog1, &QAction::triggered, this, &AdminConsole::Button1Click);
  connect(clearconsole1, &QAction::triggered, this, &AdminConsole::clearconsole1Click);

  connect(BitBtn1, &QToolButton::clicked, this, &AdminConsole::BitBtn1Click);
  connect(BitBtn2, &QToolButton::clicked, this, &AdminConsole::BitBtn2Click);
  connect(BitBtn3, &QToolButton::clicked, this, &AdminConsole::BitBtn3Click);

  // A box's reaction runs whenever its state changes, by a click or by code.
  connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
    detectSkins_ = on;
    CheckBox1Click();
  });
  connect(CheckBox3, &QCheckBox::toggled, this, [this](bool on) {
    checkBans_ = on;
    CheckBox3Click();
  });
  connect(CheckBox4, &QCheckBox::toggled, this, &AdminConsole::CheckBox4Click);
  connect(CheckBox2, &QCheckBox::toggled, this, &AdminConsole::CheckBox2Click);

  connect(Button1, &QPushButton::clicked, this, &AdminConsole::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &AdminConsole::Button2Click);
  connect(Button4, &QPushButton::clicked, this, &AdminConsole::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &AdminConsole::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &AdminConsole::Button6Click);
  connect(Timer1, &QTimer::timeout, this, &AdminConsole::Timer1Timer);
  connect(Timer2, &QTimer::timeout, this, &AdminConsole::Timer2Timer);
}

void AdminConsole::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous() || shown_) return;
  shown_ = true;
  FormShow();
}

void AdminConsole::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous() || !shown_) return;
  shown_ = false;
  FormHide();
}

void AdminConsole::aimClients(const std::string& host, const std::string& port) {
  for (UdpClient* c : {&IdUDPClient1, &IdUDPClient2, &IdUDPClient3}) {
    c->close();
    c->setServer(host, port);
    c->open();
  }
}

// Opening: the boxes, the default server, the password, the clients, the
// greeting, and a first pass of the anti-cheat worker.
void AdminConsole::FormShow() {
  MainWindow* main = forms().Form1;
  const std::string ip = main ? main->CurrentIP : std::string();
  const std::string port = main ? main->CurrentPort : std::string();

  messages1->setVisible(fileExists(kMessagesFile));
  CheckBox1->setChecked(false);
  CheckBox3->setChecked(true);
  CheckBox4->setChecked(false);
  ListView1->clear();
  SavedRconPassword = "enter rcon";

  try {
    const DefaultServer d = readDefaultServer();
    DefaultHost = d.ip;
    DefaultPort = d.port;
    DefaultRconPassword = d.rconPassword;
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  CheckBox2->setVisible(!DefaultHost.empty());

  LabeledEdit1->clear();
  try {
    const Passwords p = lookupPasswords(ip, port);
    if (!p.rcon.empty()) {
      LabeledEdit1->setText(toQString(p.rcon));
      SavedRconPassword = p.rcon;
    }
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }

  clearConsole();
  aimClients(ip, port);
  addConsoleLine("connected to: " + toQString(ip) + ":" + toQString(port));
  addConsoleLine("enter \"clr\" to clear rcon");
  addConsoleLine("use key UP to get last command");
  addConsoleLine("enter \"debugit /h\" for log options");
  if (!LabeledEdit1->text().isEmpty()) {
    Edit1->setFocus();
  } else {
    addConsoleLine("please enter rcon password !");
    LabeledEdit1->setFocus();
    LabeledEdit1->setText("enter rcon");
  }
  addConsoleLine(" ");
  if (!AntiCheatRunning) startAntiCheat();
}

// Hiding: clients closed, timers off, workers stopped; the flags stay.
void AdminConsole::FormHide() {
  cancelLine();
  stopWorkers();
  for (UdpClient* c : {&IdUDPClient1, &IdUDPClient2, &IdUDPClient3}) c->close();
  Timer1->stop();
  Timer2->stop();
  ListView1->clear();
  if (CheckBox1->isChecked()) dialogs().showMessage("skinscanner stoped !");
}

bool AdminConsole::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Return ||
        key == Qt::Key_Enter) {
      Edit1KeyDown(key);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

int AdminConsole::playerRowCount() const { return ListView1->topLevelItemCount(); }

QTreeWidgetItem* AdminConsole::playerRow(int index) const { return ListView1->topLevelItem(index); }

}  // namespace tarvix
