// The window's side of the watches and of "join when a slot frees": the
// server menu's entries, the notices that select their server when clicked,
// and the join's wait in the status bar. The watching itself is WatchRunner's.
#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "components/TrayIcon.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

// Offered for "at least N players" when the row shows no maximum.
constexpr int kDefaultMaxPlayers = 32;

}  // namespace

// The parts this file adds to the window; a child of it, so Qt deletes it.
class MainWindow::WatchParts : public QObject {
 public:
  explicit WatchParts(MainWindow* window) : QObject(window), window_(window) {}
  QAction* cancelJoin = nullptr;
  QLabel* joinWaiting = nullptr;
  QToolButton* cancelJoinButton = nullptr;
  // The server of the last watch notice, until another notice replaces it.
  QString alertServer;

 protected:
  // A click on the status bar's notice selects its server.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease && !alertServer.isEmpty())
      window_->selectServerNamed(alertServer);
    return QObject::eventFilter(watched, event);
  }

 private:
  MainWindow* window_;
};

void MainWindow::buildWatchMenu() {
  watchParts_ = new WatchParts(this);
  QMenu* when = ui_->serverMenu->addMenu("tell me when...");
  when->setObjectName("TellMeWhenMenu");
  const struct {
    const char* caption;
    const char* name;
    WatchKind kind;
  } entries[] = {{"a slot is free", "WatchSlotFree", WatchKind::SlotFree},
                 {"it has at least N players...", "WatchPlayers", WatchKind::Players},
                 {"a buddy or clan member is on it", "WatchBuddy", WatchKind::Buddy}};
  for (const auto& entry : entries) {
    QAction* action = when->addAction(entry.caption);
    action->setObjectName(entry.name);
    connect(action, &QAction::triggered, this, [this, kind = entry.kind] {
      if (const std::optional<Watch> w = selectedWatch(kind)) emit watchRequested(*w);
    });
  }
  QAction* join = ui_->serverMenu->addAction("join when a slot frees");
  join->setObjectName("JoinWhenFree");
  connect(join, &QAction::triggered, this, [this] {
    if (const std::optional<Watch> w = selectedWatch(WatchKind::SlotFree)) emit joinRequested(*w);
  });
  watchParts_->cancelJoin = ui_->serverMenu->addAction("stop joining");
  watchParts_->cancelJoin->setObjectName("StopJoining");
  QAction* list = ui_->serverMenu->addAction("watches...");
  list->setObjectName("Watches1");
  connect(list, &QAction::triggered, this, &MainWindow::watchesRequested);

  watchParts_->joinWaiting = new QLabel(ui_->statusLine);
  watchParts_->joinWaiting->setObjectName("JoinWaiting");
  watchParts_->cancelJoinButton = new QToolButton(ui_->statusLine);
  watchParts_->cancelJoinButton->setObjectName("CancelJoinButton");
  watchParts_->cancelJoinButton->setText("stop joining");
  connect(watchParts_->cancelJoin, &QAction::triggered, this, &MainWindow::joinCancelRequested);
  connect(watchParts_->cancelJoinButton, &QToolButton::clicked, this,
          &MainWindow::joinCancelRequested);
  showJoinWaiting(QString());

  ui_->statusPanel->installEventFilter(watchParts_);
  connect(ui_->trayIcon->trayIcon(), &QSystemTrayIcon::messageClicked, this, [this] {
    if (watchParts_->alertServer.isEmpty()) return;
    ui_->trayIcon->restoreApplication();
    selectServerNamed(watchParts_->alertServer);
  });
}

std::optional<Watch> MainWindow::selectedWatch(WatchKind kind) const {
  QTreeWidgetItem* row = ui_->serverView->currentItem();
  if (!row || !row->isSelected()) return std::nullopt;
  Watch w;
  w.kind = kind;
  w.server = toBytes(row->text(2));
  const ServerAddress address = lookupServer(settings_.serverListPath(), w.server);
  if (address.ip.empty()) return std::nullopt;
  w.ip = address.ip;
  w.port = address.port;
  if (kind != WatchKind::Players) return w;
  const QString shown = row->text(0);
  bool ok = false;
  int max = shown.section('/', 1).toInt(&ok);
  if (!ok || max < 1) max = kDefaultMaxPlayers;
  QStringList counts;
  for (int n = 1; n <= max; ++n) counts << QString::number(n);
  const QString chosen = dialogs().chooseItem(const_cast<MainWindow*>(this),
                                              "tell me when it has at least ... players", counts);
  if (chosen.isEmpty()) return std::nullopt;
  w.players = chosen.toInt();
  return w;
}

void MainWindow::notifyAbout(const QString& server, const QString& text) {
  notify("Tarvix", text);
  watchParts_->alertServer = server;
}

void MainWindow::forgetAlertServer() {
  if (watchParts_) watchParts_->alertServer.clear();
}

void MainWindow::selectServerNamed(const QString& server) {
  for (int i = 0; i < serverRowCount(); ++i)
    if (serverRow(i)->text(2) == server) return selectServerRow(i);
}

void MainWindow::joinServerNamed(const QString& server) {
  for (int i = 0; i < serverRowCount(); ++i) {
    if (serverRow(i)->text(2) != server) continue;
    // The selection's query shows the server's edition; connect waits for it.
    selectServerRow(i);
    connectToServer();
    return;
  }
  setStatusText(server + " is not in the current list");
}

void MainWindow::showJoinWaiting(const QString& text) {
  watchParts_->joinWaiting->setText(text);
  // In the status bar only while shown: a hidden widget there still sets
  // the bar's height.
  for (QWidget* w : {static_cast<QWidget*>(watchParts_->joinWaiting),
                     static_cast<QWidget*>(watchParts_->cancelJoinButton)}) {
    if (text.isEmpty()) {
      ui_->statusLine->removeWidget(w);
      w->hide();
    } else if (w->isHidden()) {
      ui_->statusLine->addPermanentWidget(w);
      w->show();
    }
  }
  watchParts_->cancelJoin->setVisible(!text.isEmpty());
}

}  // namespace tarvix
