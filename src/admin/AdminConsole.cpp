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
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "admin/AdminConsoleUi.h"
#include "admin/AdminConsoleWorkers.h"
#include "components/CodePageValidator.h"
#include "components/ColourCodeDelegate.h"
#include "components/ColourCodeText.h"
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

// The console's text fields: Fixedsys on a coloured ground.
template <typename Field>
Field* consoleText(Field* field, const char* name, const QColor& ground) {
  field->setObjectName(name);
  field->setFont(fixedsys());
  setBase(field, ground);
  return field;
}

// A right-click menu of items; a row without a name is a separator.
struct MenuRow {
  const char* name;
  const char* caption;
};

QMenu* menu(QWidget* owner, const char* name, std::initializer_list<MenuRow> rows) {
  auto* m = new QMenu(owner->window());
  m->setObjectName(name);
  for (const MenuRow& row : rows) {
    if (!row.name) {
      m->addSeparator();
      continue;
    }
    m->addAction(row.caption)->setObjectName(row.name);
  }
  owner->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(owner, &QWidget::customContextMenuRequested, m,
                   [owner, m](const QPoint& at) { m->popup(owner->mapToGlobal(at)); });
  return m;
}

// The interval items of "detect skins" and "show next map".
struct IntervalRow {
  const char* name;
  const char* caption;
  int ms;
  const char* line;
};

const IntervalRow kScanIntervals[] = {
    {"scaneveryminute1", "scan every minute", 60000, "!! -> scanner interval 1 minute"},
    {"scanevery2minutes1", "scan every 2 minutes", 150000, "!! -> scanner interval 2 minutes"},
    {"scanevery5minutes1", "scan every 5 minutes", 300000, "!! -> scanner interval 5 minutes"},
    {"scanevery10minutes1", "scan every 10 minutes", 600000, "!! -> scanner interval 10 minutes"},
    {"scanevery15minutes1", "scan every 15 minutes", 900000, "!! -> scanner interval 15 minutes"},
};

const IntervalRow kDisplayIntervals[] = {
    {"displayevery25min1", "display every 2.5 min", 150000,
     "!! -> display next map every 2.5 minutes"},
    {"displayevery5min1", "display every 5 min", 300000, "!! -> display next map every 5 minutes"},
    {"displayevery10min1", "display every 10 min", 600000,
     "!! -> display next map every 10 minutes"},
    {"displayevery15min1", "display every 15 min", 900000,
     "!! -> display next map every 15 minutes"},
};

// The player list's columns and their widths in pixels.
const struct {
  const char* caption;
  int width;
} kPlayerColumns[] = {{"Player", 150}, {"Ping", 50}, {"Axis skin", 125}, {"Allies skin", 125},
                      {"Rate", 60},    {"IP", 110},  {"Score", 40}};

}  // namespace

AdminConsole::AdminConsole(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), ui_(std::make_unique<Ui>()) {
  setObjectName("Form9");
  setWindowTitle("advanced remote console");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  buildWindow();
  buildMenus();
  antiCheat_ = makeAntiCheatControl(this, antiCheatClient_);
  announcer_ = makeAnnouncerControl(this, announcerClient_);
  connectActions();
  resize(691, 450);
  setMinimumSize(400, 400);
  centreOnDesktop(this);
  // The controls take their places now, so a reading tab order can see them.
  layout()->activate();
}

AdminConsole::~AdminConsole() {
  cancelLine();
  stopWorkers();
}

void AdminConsole::setProgramStatus(std::function<ProgramStatus()> status) {
  programStatus_ = std::move(status);
}

// From top to bottom: the bar of password, picture buttons and boxes; the
// player list; the command line; the console; the status bar.
void AdminConsole::buildWindow() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(buildTopBar());

  Ui& ui = *ui_;
  ui.playerView = new QTreeWidget(this);
  ui.playerView->setObjectName("ListView1");
  ui.playerView->setFixedHeight(224);
  ui.playerView->setRootIsDecorated(false);
  ui.playerView->setUniformRowHeights(true);
  ui.playerView->setSelectionMode(QAbstractItemView::SingleSelection);
  ui.playerView->setSelectionBehavior(QAbstractItemView::SelectRows);
  ui.playerView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ui.playerView->setIconSize(QSize(16, 16));
  ui.colourDelegate = new ColourCodeDelegate(ui.playerView);
  setBase(ui.playerView, kSilver);
  QStringList captions;
  for (const auto& c : kPlayerColumns) captions << c.caption;
  ui.playerView->setHeaderLabels(captions);
  for (int i = 0; i < int(std::size(kPlayerColumns)); ++i)
    ui.playerView->setColumnWidth(i, kPlayerColumns[i].width);
  ui.playerView->header()->setStretchLastSection(false);
  ui.playerView->header()->setSectionsClickable(false);
  layout->addWidget(ui.playerView);

  ui.commandLine = consoleText(new QLineEdit(this), "Edit1", kMedGray);
  ui.commandLine->installEventFilter(this);
  acceptCodePageOnly({ui.rconPasswordEdit, ui.commandLine});
  layout->addWidget(ui.commandLine);

  ui.consoleView = consoleText(new QPlainTextEdit(this), "Memo1", kSilver);
  ui.consoleView->setReadOnly(true);
  ui.consoleView->setLineWrapMode(QPlainTextEdit::NoWrap);
  ui.consoleView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(ui.consoleView, 1);

  ui.statusBar = new QStatusBar(this);
  ui.statusBar->setObjectName("StatusBar1");
  ui.statusBar->setSizeGripEnabled(true);
  ui.statusPanel = new QLabel(ui.statusBar);
  ui.statusPanel->setObjectName("StatusPanel");
  ui.statusBar->addWidget(ui.statusPanel, 1);
  layout->addWidget(ui.statusBar);

  ui.antiCheatTimer = new QTimer(this);
  ui.antiCheatTimer->setObjectName("Timer1");
  setAntiCheatInterval(150000);
  ui.announcerTimer = new QTimer(this);
  ui.announcerTimer->setObjectName("Timer2");
  setAnnouncerInterval(1000);
}

// The password field, the three picture buttons and the four boxes.
QWidget* AdminConsole::buildTopBar() {
  auto* top = new QWidget(this);
  top->setObjectName("Panel1");
  top->setFixedHeight(23);
  auto* bar = new QHBoxLayout(top);
  bar->setContentsMargins(1, 1, 1, 1);
  bar->setSpacing(3);
  Ui& ui = *ui_;
  ui.rconPasswordEdit = consoleText(new QLineEdit(top), "LabeledEdit1", kSilver);
  ui.rconPasswordEdit->setFixedWidth(105);
  ui.rconPasswordEdit->installEventFilter(this);
  bar->addWidget(ui.rconPasswordEdit);

  const struct {
    const char* name;
    const char* hint;
    QStyle::StandardPixmap picture;
    void (AdminConsole::*request)();
  } pictures[] = {
      {"BitBtn1", "change map", QStyle::SP_BrowserReload, &AdminConsole::mapListRequested},
      {"BitBtn3", "skin list", QStyle::SP_FileDialogDetailedView, &AdminConsole::skinListRequested},
      {"BitBtn2", "ban list", QStyle::SP_DialogCancelButton, &AdminConsole::banListRequested},
  };
  for (const auto& p : pictures) {
    auto* b = new QToolButton(top);
    b->setObjectName(p.name);
    b->setToolTip(p.hint);
    b->setIcon(style()->standardIcon(p.picture));
    b->setIconSize(QSize(14, 14));
    b->setFixedSize(20, 20);
    bar->addWidget(b);
    connect(b, &QToolButton::clicked, this, p.request);
  }

  const struct {
    const char* name;
    const char* caption;
    const char* hint;
    QCheckBox* Ui::*box;
  } boxes[] = {
      {"CheckBox1", "detect skins", "drightclick for options", &Ui::detectSkinsCheckBox},
      {"CheckBox3", "check bans", "enable to check bans during skin scan", &Ui::checkBansCheckBox},
      {"CheckBox4", "show next map", "display next map on server", &Ui::showNextMapCheckBox},
      {"CheckBox2", "default server", "switch to your default server", &Ui::defaultServerCheckBox},
  };
  for (const auto& b : boxes) {
    auto* box = new QCheckBox(b.caption, top);
    box->setObjectName(b.name);
    box->setToolTip(b.hint);
    bar->addWidget(box);
    ui.*b.box = box;
  }
  bar->addStretch(1);
  ui.checkBansCheckBox->setChecked(true);
  ui.defaultServerCheckBox->setVisible(false);
  return top;
}

void AdminConsole::buildMenus() {
  Ui& ui = *ui_;
  menu(ui.playerView, "PopupMenu1",
       {{"refresh1", "refresh"},
        {},
        {"kick1", "kick"},
        {"banplayer1", "ban player"},
        {"banip1", "ban ip"},
        {},
        {"changemap1", "change map"},
        {"restart1x1", "restart 1x"},
        {"restart3x1", "restart 3x"},
        {},
        {"crash1", "crash"}});
  QMenu* scans = menu(ui.detectSkinsCheckBox, "PopupMenu2", {});
  for (const IntervalRow& row : kScanIntervals) {
    QAction* item = scans->addAction(row.caption);
    item->setObjectName(row.name);
    connect(item, &QAction::triggered, this, [this, row] { setScanInterval(row.ms, row.line); });
  }
  QMenu* displays = menu(ui.showNextMapCheckBox, "PopupMenu3", {});
  for (const IntervalRow& row : kDisplayIntervals) {
    QAction* item = displays->addAction(row.caption);
    item->setObjectName(row.name);
    connect(item, &QAction::triggered, this, [this, row] { setDisplayInterval(row.ms, row.line); });
  }
  displays->addSeparator();
  ui.messagesAction = displays->addAction("messages");
  ui.messagesAction->setObjectName("messages1");
  menu(ui.rconPasswordEdit, "PopupMenu4", {{"saverconpassword1", "save rcon password"}});
  menu(ui.consoleView, "PopupMenu5",
       {{"saverconlog1", "save rcon log"}, {"clearconsole1", "clear console"}});
}

void AdminConsole::connectActions() {
  const struct {
    const char* item;
    void (AdminConsole::*action)();
  } items[] = {
      {"refresh1", &AdminConsole::refreshPlayers},
      {"kick1", &AdminConsole::kickPlayer},
      {"banplayer1", &AdminConsole::banPlayerName},
      {"banip1", &AdminConsole::banPlayerIp},
      {"changemap1", &AdminConsole::mapListRequested},
      {"restart1x1", &AdminConsole::restartMap},
      {"restart3x1", &AdminConsole::restartMapThreeTimes},
      {"crash1", &AdminConsole::crashServer},
      {"messages1", &AdminConsole::messagesRequested},
      {"saverconpassword1", &AdminConsole::saveRconPassword},
      {"saverconlog1", &AdminConsole::saveConsoleLog},
      {"clearconsole1", &AdminConsole::clearConsoleAndFocus},
  };
  for (const auto& i : items)
    connect(findChild<QAction*>(i.item), &QAction::triggered, this, i.action);

  Ui& ui = *ui_;
  // The placeholder is no password: nothing goes out with it.
  connect(ui.rconPasswordEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    rconPassword_ = text == kPasswordPlaceholder ? std::string() : toBytes(text);
  });
  // A box's reaction runs whenever its state changes, by a click or by code.
  connect(ui.detectSkinsCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    detectSkins_ = on;
    onDetectSkinsToggled();
  });
  connect(ui.checkBansCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    checkBans_ = on;
    onCheckBansToggled();
  });
  connect(ui.showNextMapCheckBox, &QCheckBox::toggled, this, &AdminConsole::onShowNextMapToggled);
  connect(ui.defaultServerCheckBox, &QCheckBox::toggled, this,
          &AdminConsole::onDefaultServerToggled);
  connect(ui.antiCheatTimer, &QTimer::timeout, this, [this] { antiCheat_->startIfIdle(); });
  connect(ui.announcerTimer, &QTimer::timeout, this, [this] { announcer_->startIfIdle(); });
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
  for (UdpClient* c : {&commandClient_, &antiCheatClient_, &announcerClient_}) {
    c->close();
    c->setServer(host, port);
    c->open();
  }
}

void AdminConsole::openConsole() {
  const CurrentServer current = settings_.currentServer();
  const std::string& ip = current.ip;
  const std::string& port = current.port;

  ui_->messagesAction->setVisible(fileExists(kMessagesFile));
  ui_->detectSkinsCheckBox->setChecked(false);
  ui_->checkBansCheckBox->setChecked(true);
  ui_->showNextMapCheckBox->setChecked(false);
  ui_->playerView->clear();
  ui_->playerView->setItemDelegateForColumn(int(PlayerColumn::Name),
                                            colourCodesShown() ? ui_->colourDelegate : nullptr);
  savedRconPassword_ = kPasswordPlaceholder;

  try {
    settings_.setDefaultServer(readDefaultServer());
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return;
  }
  ui_->defaultServerCheckBox->setVisible(!settings_.defaultServer().ip.empty());

  if (!showStoredRconPassword(ip, port)) return;

  clearConsole();
  aimClients(ip, port);
  addConsoleLine("connected to: " + toQString(ip) + ":" + toQString(port));
  addConsoleLine("enter \"clr\" to clear rcon");
  addConsoleLine("use key UP to get last command");
  addConsoleLine("enter \"debugit /h\" for log options");
  if (!ui_->rconPasswordEdit->text().isEmpty()) {
    ui_->commandLine->setFocus();
  } else {
    addConsoleLine("please enter rcon password !");
    ui_->rconPasswordEdit->setFocus();
    ui_->rconPasswordEdit->setText(kPasswordPlaceholder);
    ui_->rconPasswordEdit->selectAll();
  }
  addConsoleLine(" ");
  antiCheat_->startIfIdle();
}

// The field shows the last rcon password "Passwords.txt" holds for the
// server, which also becomes the saved password; with none it stays empty.
bool AdminConsole::showStoredRconPassword(const std::string& ip, const std::string& port) {
  ui_->rconPasswordEdit->clear();
  try {
    const std::string stored = lookupPasswords(ip, port).rcon;
    if (!stored.empty()) {
      ui_->rconPasswordEdit->setText(toQString(stored));
      savedRconPassword_ = stored;
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
  for (UdpClient* c : {&commandClient_, &antiCheatClient_, &announcerClient_}) c->close();
  ui_->antiCheatTimer->stop();
  ui_->announcerTimer->stop();
  ui_->playerView->clear();
  if (ui_->detectSkinsCheckBox->isChecked()) dialogs().showMessage(this, "skinscanner stoped !");
}

void AdminConsole::openRemoteConsole() {
  const CurrentServer current = settings_.currentServer();
  if (!current.empty()) {
    hide();
    show();
    // The same address on another port is another server.
    const DefaultServer byDefault = settings_.defaultServer();
    ui_->defaultServerCheckBox->setChecked(current == CurrentServer{byDefault.ip, byDefault.port});
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
  ui_->rconPasswordEdit->setText(toQString(byDefault.rconPassword));
  if (!byDefault.ip.empty()) {
    ui_->defaultServerCheckBox->setChecked(true);
    hide();
    show();
  } else {
    dialogs().showMessage(this, "Select a server or mark one as default!");
  }
}

bool AdminConsole::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->rconPasswordEdit) selectPlaceholder(event->type());
  if (watched == ui_->commandLine && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
      commandLineKey(key);
      return true;
    }
    // Escape takes back a typed line first; on an empty line it closes the
    // console as in every tool window, so a command is never lost unseen.
    if (key == Qt::Key_Escape && !ui_->commandLine->text().isEmpty() && !pending_) {
      ui_->commandLine->clear();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// "enter rcon" is selected whenever the field gets the focus or a key, so the
// first key replaces it and the placeholder never becomes part of a password.
void AdminConsole::selectPlaceholder(QEvent::Type type) {
  QLineEdit* edit = ui_->rconPasswordEdit;
  if (edit->text() != kPasswordPlaceholder) return;
  if (type == QEvent::KeyPress) edit->selectAll();
  // After the focus a click places the cursor: selected once it has.
  if (type == QEvent::FocusIn)
    QTimer::singleShot(0, edit, [edit] {
      if (edit->text() == kPasswordPlaceholder) edit->selectAll();
    });
}

bool AdminConsole::refuseWithoutPassword(const QString& what) {
  if (!rconPassword().empty()) return false;
  addConsoleLine("!! -> no rcon password: " + what);
  return true;
}

int AdminConsole::scanTimeout() const { return settings_.scanTimeout(); }

}  // namespace tarvix
