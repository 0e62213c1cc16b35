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

}  // namespace

ServerPropertiesWindow::ServerPropertiesWindow(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), graphX_(kGraphStartX) {
  setObjectName("Form11");
  setWindowTitle("properties");
  makeFixedToolWindow(this, true);

  passwordMenu = new QMenu(this);
  passwordMenu->setObjectName("PopupMenu1");
  resetAllPasswordsAction = passwordMenu->addAction("reset all passwords");
  resetAllPasswordsAction->setObjectName("resetallpasswords1");

  placePropertiesControls(this);
  pingGraph = control<PingGraph>(this, "PaintBox1");
  serverPasswordEdit = control<QLineEdit>(this, "LabeledEdit1");
  setServerPasswordButton = control<QPushButton>(this, "Button1");
  rconPasswordEdit = control<QLineEdit>(this, "LabeledEdit3");
  setPasswordsButton = control<QPushButton>(this, "Button2");
  rconDefaultCheckBox = control<QCheckBox>(this, "CheckBox1");
  pingLabel = control<QLabel>(this, "Label1");
  pingEdit = control<QLineEdit>(this, "LabeledEdit2");
  addressLabel = control<QLabel>(this, "Label2");
  addressEdit = control<QLineEdit>(this, "Edit1");
  webLink = control<LinkLabel>(this, "Legacy1");
  versionEdit = control<QLineEdit>(this, "LabeledEdit4");
  mapRotationMemo = control<QPlainTextEdit>(this, "Memo1");

  makeBold(labelOf(this, serverPasswordEdit));
  makeBold(labelOf(this, rconPasswordEdit));
  setServerPasswordButton->setVisible(false);
  acceptCodePageOnly({serverPasswordEdit, rconPasswordEdit});
  for (QLineEdit* edit : {serverPasswordEdit, rconPasswordEdit}) {
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this,
            [this, edit](const QPoint& pos) { passwordMenu->popup(edit->mapToGlobal(pos)); });
  }
  pingEdit->setReadOnly(true);
  pingEdit->setFont(tahoma(pingEdit->font()));
  addressEdit->setReadOnly(true);
  webLink->setFixedSize(152, 18);
  versionEdit->setReadOnly(true);
  mapRotationMemo->setReadOnly(true);
  mapRotationMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mapRotationMemo->setLineWrapMode(QPlainTextEdit::NoWrap);

  // Clicking the ping field or the memo only moves the focus away from them.
  pingEdit->setFocusPolicy(Qt::NoFocus);
  mapRotationMemo->setFocusPolicy(Qt::NoFocus);
  pingEdit->installEventFilter(this);
  mapRotationMemo->viewport()->installEventFilter(this);

  hostChecker = new HostChecker(this);
  hostChecker->setObjectName("HostChecker1");
  hostChecker->setLogId("Link checker");
  hostChecker->setAutoCheck(false);
  hostChecker->setAutoCheckPeriod(500);
  hostChecker->setPingCount(1);
  hostChecker->setPingSize(1);
  hostChecker->setTtl(64);
  hostChecker->setPingTimeout(1500);
  hostChecker->setHostName("localhost");
  hostChecker->setPingMode(PingMode::Simultaneous);

  setFixedSize(265, 382);
  centreOnDesktop(this);

  connect(setPasswordsButton, &QPushButton::clicked, this, [this] { savePasswords(); });
  connect(setServerPasswordButton, &QPushButton::clicked, this,
          &ServerPropertiesWindow::saveServerPassword);
  connect(rconDefaultCheckBox, &QCheckBox::clicked, this,
          &ServerPropertiesWindow::onRconDefaultClicked);
  connect(resetAllPasswordsAction, &QAction::triggered, this,
          &ServerPropertiesWindow::resetAllPasswords);
  connect(pingGraph, &PingGraph::doubleClicked, this, &ServerPropertiesWindow::restartPingGraph);
  connect(hostChecker, &HostChecker::lineLogged, this,
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
  stopHostChecking();
  QWidget::closeEvent(event);
}

bool ServerPropertiesWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      (watched == pingEdit || watched == mapRotationMemo->viewport())) {
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
  addressEdit->setText(info.address);
  addressEdit->setCursorPosition(0);
  versionEdit->setText(info.version);
  versionEdit->setCursorPosition(0);
  mapRotationMemo->setPlainText(info.mapLines.join('\n'));
  webLink->setText(info.linkCaption);
  webLink->setAddress(info.linkTarget);
}

void ServerPropertiesWindow::setHostChecking(bool on, bool checkNow) {
  if (on) {
    hostChecker->setHostName(settings_.currentServer().ip);
    if (checkNow) hostChecker->check();
    hostChecker->setAutoCheckPeriod(static_cast<std::uint16_t>(settings_.scanTimeout() & 0xFFFF));
  }
  hostChecker->setAutoCheck(on);
}

void ServerPropertiesWindow::loadShownServer() {
  const CurrentServer current = settings_.currentServer();

  // The default server; an empty file keeps what the settings hold.
  DefaultServer byDefault = settings_.defaultServer();
  if (showingErrors(this, [&] { readDefaultServerGroups(byDefault); }))
    settings_.setDefaultServer(byDefault);

  graphX_ = kGraphStartX;
  graphY_ = 20;
  pingGraph->moveTo(kGraphStartX, 21);

  setHostChecking(true, true);

  serverPasswordEdit->clear();
  rconPasswordEdit->clear();
  showingErrors(this, [&] {
    const Passwords stored = lookupPasswords(current.ip, current.port);
    serverPasswordEdit->setText(toQString(stored.join));
    rconPasswordEdit->setText(toQString(stored.rcon));
  });

  // Setting the box here writes nothing: only a click writes "default".
  const DefaultServer def = settings_.defaultServer();
  rconDefaultCheckBox->setChecked(def.ip == current.ip && def.port == current.port);

  shownPassword_ = toBytes(serverPasswordEdit->text());
  shownRconPassword_ = toBytes(rconPasswordEdit->text());
  shownIp_ = current.ip;
  shownPort_ = current.port;
  showServerInfo(info_);
}

void ServerPropertiesWindow::offerToSavePasswords() {
  setHostChecking(false, false);
  if (toBytes(serverPasswordEdit->text()) != shownPassword_ ||
      toBytes(rconPasswordEdit->text()) != shownRconPassword_) {
    if (dialogs().confirm(this, "save changed passwords ?")) savePasswords();
  }
  if (rconDefaultCheckBox->isChecked())
    showingErrors(this, [&] {
      writeDefaultServer({shownIp_, shownPort_, toBytes(rconPasswordEdit->text())});
    });
  emit mainWindowFocusRequested();
}

void ServerPropertiesWindow::stopHostChecking() { setHostChecking(false, false); }

bool ServerPropertiesWindow::savePasswords() {
  const std::string join = toBytes(serverPasswordEdit->text());
  const std::string rcon = toBytes(rconPasswordEdit->text());
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
  const std::string join = toBytes(serverPasswordEdit->text());
  if (showingErrors(this, [&] { appendPassword(shownIp_, shownPort_, join); }))
    shownPassword_ = join;
}

void ServerPropertiesWindow::onRconDefaultClicked() {
  // The server shown here, which the main window's selection may have left.
  showingErrors(this, [&] {
    if (rconDefaultCheckBox->isChecked())
      writeDefaultServer({shownIp_, shownPort_, toBytes(rconPasswordEdit->text())});
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
  serverPasswordEdit->clear();
  rconPasswordEdit->clear();
  shownPassword_.clear();
  shownRconPassword_.clear();
}

void ServerPropertiesWindow::resetPingGraph(int x, QPoint pen) {
  graphX_ = x;
  pingGraph->clear();
  pingGraph->moveTo(pen.x(), pen.y());
}

void ServerPropertiesWindow::restartPingGraph() {
  pingGraph->clear();
  pingGraph->moveTo(kGraphStartX, graphY_);
  graphX_ = kGraphStartX;
}

void ServerPropertiesWindow::showPingLine(const std::string& line) {
  if (const std::optional<std::string> ping = pingTextOf(line)) {
    pingEdit->setText(toQString(*ping));
    setTextColour(pingEdit, colourOf(pingFieldColour(*ping)));
  }
  // A line without a time leaves the field as it was: the graph below draws
  // the previous value again.
  const GraphAdvance next = advanceGraphX(graphX_);
  graphX_ = next.x;
  if (next.restart) {
    pingGraph->moveTo(kGraphStartX, graphY_);
    pingGraph->clear();
  }
  long long p = 0;
  if (!parseInt(toBytes(pingEdit->text()), p)) {
    consoleLogs().append(LogKind::BadLog, kGraphError);
    return;
  }
  const GraphStep step = graphStepFor(p);
  graphY_ = step.y;
  pingGraph->lineTo(graphX_, graphY_, colourOf(step.colour));
}

}  // namespace tarvix
