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
#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/DefaultServer.h"
#include "store/NameLists.h"
#include "store/Passwords.h"
#include "store/Settings.h"

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

AdminConsole::AdminConsole(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setObjectName("Form9");
  setWindowTitle("advanced remote console");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  buildWindow();
  buildMenus();
  antiCheat_ = makeAntiCheatControl(this);
  announcer_ = makeAnnouncerControl(this);
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
  rconPasswordEdit = new QLineEdit(top);
  rconPasswordEdit->setObjectName("LabeledEdit1");
  rconPasswordEdit->setFixedWidth(105);
  rconPasswordEdit->setFont(fixedsys());
  setBase(rconPasswordEdit, kSilver);
  rconPasswordEdit->setContextMenuPolicy(Qt::CustomContextMenu);
  bar->addWidget(rconPasswordEdit);
  changeMapButton = pictureButton(top, "BitBtn1", "change map", QStyle::SP_BrowserReload);
  skinListButton = pictureButton(top, "BitBtn3", "skin list", QStyle::SP_FileDialogDetailedView);
  banListButton = pictureButton(top, "BitBtn2", "ban list", QStyle::SP_DialogCancelButton);
  bar->addWidget(changeMapButton);
  bar->addWidget(skinListButton);
  bar->addWidget(banListButton);
  detectSkinsCheckBox = checkBox(top, "CheckBox1", "detect skins", "drightclick for options");
  checkBansCheckBox =
      checkBox(top, "CheckBox3", "check bans", "enable to check bans during skin scan");
  showNextMapCheckBox = checkBox(top, "CheckBox4", "show next map", "display next map on server");
  defaultServerCheckBox =
      checkBox(top, "CheckBox2", "default server", "switch to your default server");
  detectSkinsCheckBox->setContextMenuPolicy(Qt::CustomContextMenu);
  showNextMapCheckBox->setContextMenuPolicy(Qt::CustomContextMenu);
  bar->addWidget(detectSkinsCheckBox);
  bar->addWidget(checkBansCheckBox);
  bar->addWidget(showNextMapCheckBox);
  bar->addWidget(defaultServerCheckBox);
  bar->addStretch(1);
  checkBansCheckBox->setChecked(true);
  defaultServerCheckBox->setVisible(false);
  layout->addWidget(top);

  playerView = new QTreeWidget(this);
  playerView->setObjectName("ListView1");
  playerView->setFixedHeight(224);
  playerView->setRootIsDecorated(false);
  playerView->setUniformRowHeights(true);
  playerView->setSelectionMode(QAbstractItemView::SingleSelection);
  playerView->setSelectionBehavior(QAbstractItemView::SelectRows);
  playerView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  playerView->setContextMenuPolicy(Qt::CustomContextMenu);
  playerView->setIconSize(QSize(16, 16));
  setBase(playerView, kSilver);
  playerView->setHeaderLabels(
      {"Player", "Ping", "Axis skin", "Allies skin", "Rate", "IP", "Score"});
  const int widths[] = {150, 50, 125, 125, 60, 110, 40};
  for (int i = 0; i < 7; ++i) playerView->setColumnWidth(i, widths[i]);
  playerView->header()->setStretchLastSection(false);
  playerView->header()->setSectionsClickable(false);
  playerView->setSortingEnabled(false);
  layout->addWidget(playerView);

  commandLine = new QLineEdit(this);
  commandLine->setObjectName("Edit1");
  commandLine->setFont(fixedsys());
  setBase(commandLine, kMedGray);
  commandLine->installEventFilter(this);
  acceptCodePageOnly({rconPasswordEdit, commandLine});
  layout->addWidget(commandLine);

  consoleView = new QPlainTextEdit(this);
  consoleView->setObjectName("Memo1");
  consoleView->setReadOnly(true);
  consoleView->setFont(fixedsys());
  consoleView->setLineWrapMode(QPlainTextEdit::NoWrap);
  consoleView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  consoleView->setContextMenuPolicy(Qt::CustomContextMenu);
  setBase(consoleView, kSilver);
  layout->addWidget(consoleView, 1);

  statusBar = new QStatusBar(this);
  statusBar->setObjectName("StatusBar1");
  statusBar->setSizeGripEnabled(true);
  statusPanel = new QLabel(statusBar);
  statusPanel->setObjectName("StatusPanel");
  statusBar->addWidget(statusPanel, 1);
  layout->addWidget(statusBar);

  antiCheatTimer = new QTimer(this);
  antiCheatTimer->setObjectName("Timer1");
  setAntiCheatInterval(150000);
  announcerTimer = new QTimer(this);
  announcerTimer->setObjectName("Timer2");
  setAnnouncerInterval(1000);

  saveLogButton = hiddenButton(this, "Button1", "save rcon log");
  savePasswordButton = hiddenButton(this, "Button2", "save rcon password");
  mapsButton = hiddenButton(this, "Button4", "maps");
  antiCheatStopButton = hiddenButton(this, "Button5", "anticheatstop");
  announcerStopButton = hiddenButton(this, "Button6", QString());
}

void AdminConsole::buildMenus() {
  playerMenu = new QMenu(this);
  playerMenu->setObjectName("PopupMenu1");
  refreshAction = item(playerMenu, "refresh1", "refresh");
  playerMenu->addSeparator();
  kickAction = item(playerMenu, "kick1", "kick");
  banPlayerAction = item(playerMenu, "banplayer1", "ban player");
  banIpAction = item(playerMenu, "banip1", "ban ip");
  playerMenu->addSeparator();
  changeMapAction = item(playerMenu, "changemap1", "change map");
  restartAction = item(playerMenu, "restart1x1", "restart 1x");
  restartThreeTimesAction = item(playerMenu, "restart3x1", "restart 3x");
  playerMenu->addSeparator();
  crashAction = item(playerMenu, "crash1", "crash");

  scanIntervalMenu = new QMenu(this);
  scanIntervalMenu->setObjectName("PopupMenu2");
  scanEveryMinuteAction = item(scanIntervalMenu, "scaneveryminute1", "scan every minute");
  scanEvery2MinutesAction = item(scanIntervalMenu, "scanevery2minutes1", "scan every 2 minutes");
  scanEvery5MinutesAction = item(scanIntervalMenu, "scanevery5minutes1", "scan every 5 minutes");
  scanEvery10MinutesAction = item(scanIntervalMenu, "scanevery10minutes1", "scan every 10 minutes");
  scanEvery15MinutesAction = item(scanIntervalMenu, "scanevery15minutes1", "scan every 15 minutes");

  nextMapMenu = new QMenu(this);
  nextMapMenu->setObjectName("PopupMenu3");
  displayEvery2_5MinAction = item(nextMapMenu, "displayevery25min1", "display every 2.5 min");
  displayEvery5MinAction = item(nextMapMenu, "displayevery5min1", "display every 5 min");
  displayEvery10MinAction = item(nextMapMenu, "displayevery10min1", "display every 10 min");
  displayEvery15MinAction = item(nextMapMenu, "displayevery15min1", "display every 15 min");
  nextMapMenu->addSeparator();
  messagesAction = item(nextMapMenu, "messages1", "messages");

  passwordMenu = new QMenu(this);
  passwordMenu->setObjectName("PopupMenu4");
  savePasswordAction = item(passwordMenu, "saverconpassword1", "save rcon password");

  consoleMenu = new QMenu(this);
  consoleMenu->setObjectName("PopupMenu5");
  saveLogAction = item(consoleMenu, "saverconlog1", "save rcon log");
  clearConsoleAction = item(consoleMenu, "clearconsole1", "clear console");
}

void AdminConsole::connectActions() {
  auto popup = [this](QWidget* w, QMenu* menu) {
    connect(w, &QWidget::customContextMenuRequested, this,
            [w, menu](const QPoint& at) { menu->popup(w->mapToGlobal(at)); });
  };
  popup(playerView, playerMenu);
  popup(detectSkinsCheckBox, scanIntervalMenu);
  popup(showNextMapCheckBox, nextMapMenu);
  popup(rconPasswordEdit, passwordMenu);
  popup(consoleView, consoleMenu);

  // The placeholder is no password: nothing goes out with it.
  connect(rconPasswordEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    rconPassword_ = text == kPasswordPlaceholder ? std::string() : toBytes(text);
  });

  connect(refreshAction, &QAction::triggered, this, &AdminConsole::refreshPlayers);
  connect(kickAction, &QAction::triggered, this, &AdminConsole::kickPlayer);
  connect(banPlayerAction, &QAction::triggered, this, &AdminConsole::banPlayerName);
  connect(banIpAction, &QAction::triggered, this, &AdminConsole::banPlayerIp);
  connect(changeMapAction, &QAction::triggered, this, &AdminConsole::showMapChange);
  connect(restartAction, &QAction::triggered, this, &AdminConsole::restartMap);
  connect(restartThreeTimesAction, &QAction::triggered, this, &AdminConsole::restartMapThreeTimes);
  connect(crashAction, &QAction::triggered, this, &AdminConsole::crashServer);

  const struct {
    QAction* item;
    int ms;
    const char* line;
  } scans[] = {
      {scanEveryMinuteAction, 60000, "!! -> scanner interval 1 minute"},
      {scanEvery2MinutesAction, 150000, "!! -> scanner interval 2 minutes"},
      {scanEvery5MinutesAction, 300000, "!! -> scanner interval 5 minutes"},
      {scanEvery10MinutesAction, 600000, "!! -> scanner interval 10 minutes"},
      {scanEvery15MinutesAction, 900000, "!! -> scanner interval 15 minutes"},
  };
  for (const auto& s : scans) {
    const int ms = s.ms;
    const QString line = s.line;
    connect(s.item, &QAction::triggered, this, [this, ms, line] { setScanInterval(ms, line); });
  }
  const struct {
    QAction* item;
    int ms;
    const char* line;
  } displays[] = {
      {displayEvery2_5MinAction, 150000, "!! -> display next map every 2.5 minutes"},
      {displayEvery5MinAction, 300000, "!! -> display next map every 5 minutes"},
      {displayEvery10MinAction, 600000, "!! -> display next map every 10 minutes"},
      {displayEvery15MinAction, 900000, "!! -> display next map every 15 minutes"},
  };
  for (const auto& d : displays) {
    const int ms = d.ms;
    const QString line = d.line;
    connect(d.item, &QAction::triggered, this, [this, ms, line] { setDisplayInterval(ms, line); });
  }
  connect(messagesAction, &QAction::triggered, this, &AdminConsole::showMessages);
  connect(savePasswordAction, &QAction::triggered, this, &AdminConsole::saveRconPassword);
  connect(saveLogAction, &QAction::triggered, this, &AdminConsole::saveConsoleLog);
  connect(clearConsoleAction, &QAction::triggered, this, &AdminConsole::clearConsoleAndFocus);

  connect(changeMapButton, &QToolButton::clicked, this, &AdminConsole::showMapChange);
  connect(banListButton, &QToolButton::clicked, this, &AdminConsole::showBanList);
  connect(skinListButton, &QToolButton::clicked, this, &AdminConsole::showSkinList);

  // A box's reaction runs whenever its state changes, by a click or by code.
  connect(detectSkinsCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    detectSkins_ = on;
    onDetectSkinsToggled();
  });
  connect(checkBansCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    checkBans_ = on;
    onCheckBansToggled();
  });
  connect(showNextMapCheckBox, &QCheckBox::toggled, this, &AdminConsole::onShowNextMapToggled);
  connect(defaultServerCheckBox, &QCheckBox::toggled, this, &AdminConsole::onDefaultServerToggled);

  connect(saveLogButton, &QPushButton::clicked, this, &AdminConsole::saveConsoleLog);
  connect(savePasswordButton, &QPushButton::clicked, this, &AdminConsole::saveRconPassword);
  connect(mapsButton, &QPushButton::clicked, this, &AdminConsole::showMapChange);
  connect(antiCheatStopButton, &QPushButton::clicked, this, &AdminConsole::stopAntiCheat);
  connect(announcerStopButton, &QPushButton::clicked, this, &AdminConsole::stopAnnouncer);
  connect(antiCheatTimer, &QTimer::timeout, this, &AdminConsole::onAntiCheatTimer);
  connect(announcerTimer, &QTimer::timeout, this, &AdminConsole::onAnnouncerTimer);
}

void AdminConsole::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous() || shown_) return;
  shown_ = true;
  openConsole();
}

void AdminConsole::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous() || !shown_) return;
  shown_ = false;
  closeConsole();
}

void AdminConsole::aimClients(const std::string& host, const std::string& port) {
  for (UdpClient* c : {&commandClient, &antiCheatClient, &announcerClient}) {
    c->close();
    c->setServer(host, port);
    c->open();
  }
}

void AdminConsole::openConsole() {
  const CurrentServer current = settings_.currentServer();
  const std::string& ip = current.ip;
  const std::string& port = current.port;

  messagesAction->setVisible(fileExists(kMessagesFile));
  detectSkinsCheckBox->setChecked(false);
  checkBansCheckBox->setChecked(true);
  showNextMapCheckBox->setChecked(false);
  playerView->clear();
  savedRconPassword = kPasswordPlaceholder;

  try {
    settings_.setDefaultServer(readDefaultServer());
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return;
  }
  defaultServerCheckBox->setVisible(!settings_.defaultServer().ip.empty());

  if (!showStoredRconPassword(ip, port)) return;

  clearConsole();
  aimClients(ip, port);
  addConsoleLine("connected to: " + toQString(ip) + ":" + toQString(port));
  addConsoleLine("enter \"clr\" to clear rcon");
  addConsoleLine("use key UP to get last command");
  addConsoleLine("enter \"debugit /h\" for log options");
  if (!rconPasswordEdit->text().isEmpty()) {
    commandLine->setFocus();
  } else {
    addConsoleLine("please enter rcon password !");
    rconPasswordEdit->setFocus();
    rconPasswordEdit->setText(kPasswordPlaceholder);
  }
  addConsoleLine(" ");
  if (!antiCheatRunning()) startAntiCheat();
}

// The field shows the last rcon password "Passwords.txt" holds for the
// server, which also becomes the saved password; with none it stays empty.
bool AdminConsole::showStoredRconPassword(const std::string& ip, const std::string& port) {
  rconPasswordEdit->clear();
  try {
    const std::string stored = lookupPasswords(ip, port).rcon;
    if (!stored.empty()) {
      rconPasswordEdit->setText(toQString(stored));
      savedRconPassword = stored;
    }
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return false;
  }
  return true;
}

void AdminConsole::closeConsole() {
  cancelLine();
  stopWorkers();
  for (UdpClient* c : {&commandClient, &antiCheatClient, &announcerClient}) c->close();
  antiCheatTimer->stop();
  announcerTimer->stop();
  playerView->clear();
  if (detectSkinsCheckBox->isChecked()) dialogs().showMessage(this, "skinscanner stoped !");
}

void AdminConsole::openRemoteConsole() {
  const CurrentServer current = settings_.currentServer();
  if (!current.empty()) {
    hide();
    show();
    // The same address on another port is another server.
    const DefaultServer byDefault = settings_.defaultServer();
    defaultServerCheckBox->setChecked(current == CurrentServer{byDefault.ip, byDefault.port});
    return;
  }
  DefaultServer byDefault;
  try {
    byDefault = readDefaultServer();
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return;
  }
  settings_.setCurrentServer({byDefault.ip, byDefault.port});
  settings_.setDefaultServer(byDefault);
  rconPasswordEdit->setText(toQString(byDefault.rconPassword));
  if (!byDefault.ip.empty()) {
    defaultServerCheckBox->setChecked(true);
    hide();
    show();
  } else {
    dialogs().showMessage(this, "Select a server or mark one as default!");
  }
}

bool AdminConsole::eventFilter(QObject* watched, QEvent* event) {
  if (watched == commandLine && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
      commandLineKey(key);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool AdminConsole::refuseWithoutPassword(const QString& what) {
  if (!rconPassword().empty()) return false;
  addConsoleLine("!! -> no rcon password: " + what);
  return true;
}

int AdminConsole::scanTimeout() const { return settings_.scanTimeout(); }

int AdminConsole::playerRowCount() const { return playerView->topLevelItemCount(); }

QTreeWidgetItem* AdminConsole::playerRow(int index) const {
  return playerView->topLevelItem(index);
}

}  // namespace tarvix
