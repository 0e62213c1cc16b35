#include "lists/ServerPropertiesWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QWindow>

#include "app/core/PingDisplay.h"
#include "base/ConsoleLogs.h"
#include "base/Text.h"
#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/HostChecker.h"
#include "components/LinkLabel.h"
#include "components/PingGraph.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "lists/ControlTable.h"
#include "lists/LabeledEdit.h"
#include "lists/WebLink.h"
#include "lists/WindowStyle.h"
#include "store/Passwords.h"
#include "store/Settings.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct ServerPropertiesWindow::Ui {
  QLineEdit* serverPasswordEdit = nullptr;
  QLineEdit* rconPasswordEdit = nullptr;
  QCheckBox* rconDefaultCheckBox = nullptr;
  QLineEdit* pingEdit = nullptr;
  PingGraph* pingGraph = nullptr;    // 249 x 22
  QLineEdit* addressEdit = nullptr;  // address + ":" + port
  LinkLabel* webLink = nullptr;      // the server's web link
  QLineEdit* versionEdit = nullptr;
  QPlainTextEdit* mapRotationMemo = nullptr;
  QMenu* passwordMenu = nullptr;  // menu of both password fields
  // Pings the current server while the window is open.
  HostChecker* hostChecker = nullptr;
};

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

QColor colourOf(PingColour c) {
  switch (c) {
    case PingColour::Navy:
      return QColor(0, 0, 128);
    case PingColour::Green:
      return QColor(0, 128, 0);
    case PingColour::Purple:
      return QColor(128, 0, 128);
    case PingColour::Red:
      return QColor(255, 0, 0);
    case PingColour::Black:
      break;
  }
  return QColor(0, 0, 0);
}

void setTextColour(QLineEdit* edit, const QColor& colour) {
  QPalette pal = edit->palette();
  pal.setColor(QPalette::Text, colour);
  edit->setPalette(pal);
}

// The window's fixed controls, top to bottom; the ping graph sits
// between the ping field and the address.
void placePropertiesControls(QWidget* window) {
  using C = Control;
  buildControls(window,
                {
                    {C::LabeledEdit, "LabeledEdit1", nullptr, "server password", {8, 6, 185, 0}},
                    {C::Button, "Button1", nullptr, "set", {200, 20, 57, 21}},
                    {C::LabeledEdit, "LabeledEdit3", nullptr, "rcon password", {8, 46, 185, 0}},
                    {C::Button, "Button2", nullptr, "set", {200, 60, 57, 21}},
                    {C::CheckBox, "CheckBox1", nullptr, "rcon default", {8, 88, 120, 17}},
                    {C::Label, "Label1", nullptr, "ping:", {8, 113, 30, 14}},
                    {C::Edit, "LabeledEdit2", nullptr, nullptr, {40, 110, 60, 21}},
                });
  auto* graph = new PingGraph(249, 22, window);
  graph->setObjectName("PaintBox1");
  graph->move(8, 136);
  graph->setToolTip("dblclick to reset");
  buildControls(window, {
                            {C::Label, "Label2", nullptr, "IP:", {8, 167, 18, 14}},
                            {C::Edit, "Edit1", nullptr, nullptr, {28, 164, 229, 21}},
                            {C::WebLink, "Legacy1", nullptr, nullptr, {8, 190, 152, 18}},
                            {C::LabeledEdit, "LabeledEdit4", nullptr, "Version", {8, 212, 249, 0}},
                            {C::Memo, "Memo1", nullptr, nullptr, {8, 254, 249, 120}},
                        });
}

// "reset all passwords", the right-click menu of both password fields.
QMenu* addPasswordMenu(QWidget* window, std::initializer_list<QLineEdit*> edits) {
  auto* menu = new QMenu(window);
  menu->setObjectName("PopupMenu1");
  menu->addAction("reset all passwords")->setObjectName("resetallpasswords1");
  for (QLineEdit* edit : edits) {
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QWidget::customContextMenuRequested, menu,
                     [menu, edit](const QPoint& pos) { menu->popup(edit->mapToGlobal(pos)); });
  }
  return menu;
}

// One small echo at a time to the current server, while the window is open.
HostChecker* makeLinkChecker(QWidget* window) {
  auto* checker = new HostChecker(window);
  checker->setObjectName("HostChecker1");
  checker->setLogId("Link checker");
  checker->setAutoCheck(false);
  checker->setAutoCheckPeriod(500);
  checker->setPingCount(1);
  checker->setPingSize(1);
  checker->setTtl(64);
  checker->setPingTimeout(1500);
  checker->setHostName("localhost");
  checker->setPingMode(PingMode::Simultaneous);
  return checker;
}

}  // namespace

ServerPropertiesWindow::~ServerPropertiesWindow() = default;

ServerPropertiesWindow::ServerPropertiesWindow(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), graphX_(kGraphStartX) {
  ui_ = std::make_unique<Ui>();
  setObjectName("Form11");
  setWindowTitle("properties");
  makeFixedToolWindow(this, true);

  placePropertiesControls(this);
  ui_->pingGraph = control<PingGraph>(this, "PaintBox1");
  ui_->serverPasswordEdit = control<QLineEdit>(this, "LabeledEdit1");
  auto* setServerPasswordButton = control<QPushButton>(this, "Button1");
  ui_->rconPasswordEdit = control<QLineEdit>(this, "LabeledEdit3");
  auto* setPasswordsButton = control<QPushButton>(this, "Button2");
  ui_->rconDefaultCheckBox = control<QCheckBox>(this, "CheckBox1");
  ui_->pingEdit = control<QLineEdit>(this, "LabeledEdit2");
  ui_->addressEdit = control<QLineEdit>(this, "Edit1");
  ui_->webLink = control<LinkLabel>(this, "Legacy1");
  ui_->versionEdit = control<QLineEdit>(this, "LabeledEdit4");
  ui_->mapRotationMemo = control<QPlainTextEdit>(this, "Memo1");

  makeBold(labelOf(this, ui_->serverPasswordEdit));
  makeBold(labelOf(this, ui_->rconPasswordEdit));
  setServerPasswordButton->setVisible(false);
  acceptCodePageOnly({ui_->serverPasswordEdit, ui_->rconPasswordEdit});
  ui_->passwordMenu = addPasswordMenu(this, {ui_->serverPasswordEdit, ui_->rconPasswordEdit});
  ui_->pingEdit->setReadOnly(true);
  ui_->pingEdit->setFont(tahoma(ui_->pingEdit->font()));
  ui_->addressEdit->setReadOnly(true);
  ui_->webLink->setFixedSize(152, 18);
  ui_->versionEdit->setReadOnly(true);
  ui_->mapRotationMemo->setReadOnly(true);
  ui_->mapRotationMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ui_->mapRotationMemo->setLineWrapMode(QPlainTextEdit::NoWrap);

  // Clicking the ping field or the memo only moves the focus away from them.
  ui_->pingEdit->setFocusPolicy(Qt::NoFocus);
  ui_->mapRotationMemo->setFocusPolicy(Qt::NoFocus);
  ui_->pingEdit->installEventFilter(this);
  ui_->mapRotationMemo->viewport()->installEventFilter(this);

  ui_->hostChecker = makeLinkChecker(this);

  setFixedSize(265, 382);
  centreOnDesktop(this);

  connect(setPasswordsButton, &QPushButton::clicked, this, [this] { savePasswords(); });
  connect(setServerPasswordButton, &QPushButton::clicked, this,
          &ServerPropertiesWindow::saveServerPassword);
  connect(ui_->rconDefaultCheckBox, &QCheckBox::clicked, this,
          &ServerPropertiesWindow::onRconDefaultClicked);
  connect(ui_->passwordMenu->findChild<QAction*>("resetallpasswords1"), &QAction::triggered, this,
          &ServerPropertiesWindow::resetAllPasswords);
  connect(ui_->pingGraph, &PingGraph::doubleClicked, this,
          &ServerPropertiesWindow::restartPingGraph);
  connect(ui_->hostChecker, &HostChecker::lineLogged, this,
          [this](const std::string&, const std::string& line) { showPingLine(line); });
  showServerInfo(info_);
}

void ServerPropertiesWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (owner_ && windowHandle()) {
    owner_->winId();  // the owner needs its platform window to be a parent
    windowHandle()->setTransientParent(owner_->windowHandle());
  }
  if (!event->spontaneous()) loadShownServer();
}

void ServerPropertiesWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) offerToSavePasswords();
}

void ServerPropertiesWindow::closeEvent(QCloseEvent* event) {
  setHostChecking(false, false);
  QWidget::closeEvent(event);
}

bool ServerPropertiesWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      (watched == ui_->pingEdit || watched == ui_->mapRotationMemo->viewport())) {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
  }
  return QWidget::eventFilter(watched, event);
}

void ServerPropertiesWindow::reopen() {
  hide();
  show();
}

void ServerPropertiesWindow::showServerInfo(const ServerInfo& info) {
  info_ = info;
  ui_->addressEdit->setText(info.address);
  ui_->addressEdit->setCursorPosition(0);
  ui_->versionEdit->setText(info.version);
  ui_->versionEdit->setCursorPosition(0);
  ui_->mapRotationMemo->setPlainText(info.mapLines.join('\n'));
  ui_->webLink->setText(info.linkCaption);
  ui_->webLink->setAddress(info.linkTarget);
}

void ServerPropertiesWindow::setHostChecking(bool on, bool checkNow) {
  if (on) {
    ui_->hostChecker->setHostName(settings_.currentServer().ip);
    if (checkNow) ui_->hostChecker->check();
    ui_->hostChecker->setAutoCheckPeriod(
        static_cast<std::uint16_t>(settings_.scanTimeout() & 0xFFFF));
  }
  ui_->hostChecker->setAutoCheck(on);
}

void ServerPropertiesWindow::loadShownServer() {
  const CurrentServer current = settings_.currentServer();

  // The default server; an empty file keeps what the settings hold.
  DefaultServer byDefault = settings_.defaultServer();
  if (showingErrors(this, [&] { readDefaultServerGroups(byDefault); }))
    settings_.setDefaultServer(byDefault);

  graphX_ = kGraphStartX;
  graphY_ = 20;
  ui_->pingGraph->moveTo(kGraphStartX, 21);

  setHostChecking(true, true);

  ui_->serverPasswordEdit->clear();
  ui_->rconPasswordEdit->clear();
  showingErrors(this, [&] {
    const Passwords stored = lookupPasswords(current.ip, current.port);
    ui_->serverPasswordEdit->setText(toQString(stored.join));
    ui_->rconPasswordEdit->setText(toQString(stored.rcon));
  });

  // Setting the box here writes nothing: only a click writes "default".
  const DefaultServer def = settings_.defaultServer();
  ui_->rconDefaultCheckBox->setChecked(def.ip == current.ip && def.port == current.port);

  shownPassword_ = toBytes(ui_->serverPasswordEdit->text());
  shownRconPassword_ = toBytes(ui_->rconPasswordEdit->text());
  shownIp_ = current.ip;
  shownPort_ = current.port;
  showServerInfo(info_);
}

void ServerPropertiesWindow::offerToSavePasswords() {
  setHostChecking(false, false);
  if (toBytes(ui_->serverPasswordEdit->text()) != shownPassword_ ||
      toBytes(ui_->rconPasswordEdit->text()) != shownRconPassword_) {
    if (dialogs().confirm(this, "save changed passwords ?")) savePasswords();
  }
  if (ui_->rconDefaultCheckBox->isChecked())
    showingErrors(this, [&] {
      writeDefaultServer({shownIp_, shownPort_, toBytes(ui_->rconPasswordEdit->text())});
    });
  emit mainWindowFocusRequested();
}

bool ServerPropertiesWindow::savePasswords() {
  const std::string join = toBytes(ui_->serverPasswordEdit->text());
  const std::string rcon = toBytes(ui_->rconPasswordEdit->text());
  const bool saved = showingErrors(this, [&] {
    appendRconPassword(shownIp_, shownPort_, rcon);
    // An empty join password is saved too: it clears the stored one.
    appendPassword(shownIp_, shownPort_, join);
  });
  if (!saved) return false;
  shownPassword_ = join;
  shownRconPassword_ = rcon;
  if (isVisible()) {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
  }
  return true;
}

void ServerPropertiesWindow::saveServerPassword() {
  const std::string join = toBytes(ui_->serverPasswordEdit->text());
  if (showingErrors(this, [&] { appendPassword(shownIp_, shownPort_, join); }))
    shownPassword_ = join;
}

void ServerPropertiesWindow::onRconDefaultClicked() {
  // The server shown here, which the main window's selection may have left.
  showingErrors(this, [&] {
    if (ui_->rconDefaultCheckBox->isChecked())
      writeDefaultServer({shownIp_, shownPort_, toBytes(ui_->rconPasswordEdit->text())});
    else
      clearDefaultServer();
  });
  emit mainWindowFocusRequested();
}

void ServerPropertiesWindow::resetAllPasswords() {
  if (!dialogs().confirm(this,
                         "sure to reset all passwords ?\nthis will take effect on all servers!"))
    return;
  if (!showingErrors(this, [] { resetPasswords(); })) return;
  ui_->serverPasswordEdit->clear();
  ui_->rconPasswordEdit->clear();
  shownPassword_.clear();
  shownRconPassword_.clear();
}

void ServerPropertiesWindow::resetPingGraph(int x, QPoint pen) {
  graphX_ = x;
  ui_->pingGraph->clear();
  ui_->pingGraph->moveTo(pen.x(), pen.y());
}

void ServerPropertiesWindow::restartPingGraph() {
  ui_->pingGraph->clear();
  ui_->pingGraph->moveTo(kGraphStartX, graphY_);
  graphX_ = kGraphStartX;
}

void ServerPropertiesWindow::showPingLine(const std::string& line) {
  if (const std::optional<std::string> ping = pingTextOf(line)) {
    ui_->pingEdit->setText(toQString(*ping));
    setTextColour(ui_->pingEdit, colourOf(pingFieldColour(*ping)));
  }
  // A line without a time leaves the field as it was: the graph below draws
  // the previous value again.
  const GraphAdvance next = advanceGraphX(graphX_);
  graphX_ = next.x;
  if (next.restart) {
    ui_->pingGraph->moveTo(kGraphStartX, graphY_);
    ui_->pingGraph->clear();
  }
  long long p = 0;
  if (!parseInt(toBytes(ui_->pingEdit->text()), p)) {
    consoleLogs().append(LogKind::BadLog, kGraphError);
    return;
  }
  const GraphStep step = graphStepFor(p);
  graphY_ = step.y;
  ui_->pingGraph->lineTo(graphX_, graphY_, colourOf(step.colour));
}

}  // namespace tarvix
