// Server details: row selection, buddy double-click, "Add to Buddys", and the
// tool bar's buddies, clantags and search buttons.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPersistentModelIndex>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "components/ColourCodeText.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "components/ViewItems.h"
#include "lists/StatusFetch.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

void setLabelColour(QLabel* label, const QColor& colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
}

}  // namespace

void MainWindow::buildDetails() {
  connect(ui_->serverView, &QTreeWidget::itemSelectionChanged, this, [this] {
    const QList<QTreeWidgetItem*> selected = ui_->serverView->selectedItems();
    if (!selected.isEmpty()) showSelectedServer(selected.first());
  });
  connect(ui_->buddyView, &QTreeWidget::itemDoubleClicked, this, [this] { goToBuddyServer(); });
  connect(ui_->addToBuddiesAction, &QAction::triggered, this, &MainWindow::addPlayerToBuddies);

  connect(ui_->buddiesButton, &QToolButton::clicked, this, &MainWindow::buddiesRequested);
  connect(ui_->clanTagsButton, &QToolButton::clicked, this, &MainWindow::clanTagsRequested);
  connect(ui_->searchButton, &QToolButton::clicked, this, &MainWindow::searchRequested);
  connect(ui_->searchAction, &QAction::triggered, this, &MainWindow::searchRequested);
}

bool MainWindow::detailsQueryPending() const { return detailsQuery_.pending(); }

void MainWindow::cancelDetailsQuery() {
  dropDetailsQuery();
  connectAfterDetails_ = false;
}

void MainWindow::resetGraph(int x) { emit graphReset(x, QPoint(97, 20)); }

void MainWindow::startDetailsQuery(const std::string& ip, const std::string& port,
                                   std::function<void(const std::string&)> apply) {
  // The window's own queries, each on a fresh
  // client. The reply is waited for off this thread and shown here; starting
  // a query drops the one still waiting, so only the newest is shown.
  dropDetailsQuery();
  pendingDetails_ = std::move(apply);
  // The previous server's details stay until the reply: show that a query
  // is under way.
  setCursor(Qt::BusyCursor);
  detailsQuery_ = fetchStatusInBackground(this, ip, port, settings_.scanTimeout(),
                                          [this](const std::string& reply) { showDetails(reply); });
}

void MainWindow::dropDetailsQuery() {
  unsetCursor();
  detailsQuery_.cancel();
  detailsQuery_ = BackgroundTask();
  pendingDetails_ = nullptr;
}

void MainWindow::queryServerNamed(const std::string& name,
                                  std::function<void(const std::string&)> apply) {
  ServerAddress address;
  try {
    address = lookupServer(settings_.serverListPath(), name);
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
  }
  settings_.setCurrentServer({address.ip, address.port});
  shownInfo_.address = toQString(address.ip) + ":" + toQString(address.port);
  if (address.ip.empty()) {
    // Unknown server: nothing is sent, and no earlier query may show later.
    dropDetailsQuery();
    apply(std::string());
    emit detailsShown(shownInfo_);
    return;
  }
  startDetailsQuery(address.ip, address.port, std::move(apply));
}

void MainWindow::showDetails(const std::string& reply) {
  unsetCursor();
  auto apply = std::move(pendingDetails_);
  pendingDetails_ = nullptr;
  if (apply) apply(reply);
  emit detailsShown(shownInfo_);
}

void MainWindow::showNoAnswer(bool rowSelection) {
  ui_->playerCountLabel->clear();
  ui_->mapLabel->setText(toQString(kNoResponseSelected));
  setLabelColour(ui_->mapLabel, kRed);
  shownInfo_.linkCaption = toQString(kNoLink);
  shownInfo_.linkTarget = toQString(kHomePage);
  ui_->playerView->clear();
  ui_->hostNameLabel->clear();
  ui_->editionLabel->clear();
  if (rowSelection) shownInfo_.version.clear();
}

void MainWindow::showAnswer(const ServerDetails& d) {
  const StatusReply& r = d.reply;
  ui_->editionLabel->setText(toQString(r.edition));
  for (const std::string& piece : d.mapLines) shownInfo_.mapLines << toQString(piece);
  shownInfo_.version = toQString(r.version);
  shownInfo_.linkCaption = toQString(d.linkCaption);
  shownInfo_.linkTarget = toQString(d.linkTarget);
  showName(ui_->hostNameLabel, toQString(r.hostName), colourCodes_);
  ui_->mapLabel->setText("Map: " + toQString(r.mapName));
  setLabelColour(ui_->mapLabel,
                 mapInstalled(r.mapName, settings_.config().mohaaPath) ? kGreen : kRed);
  ui_->playerView->clear();
  for (const Player& p : r.players)
    ui_->playerView->addTopLevelItem(
        new TextItem(QStringList{toQString(p.name), toQString(p.ping)}));
  ui_->playerCountLabel->setText("Players: " + toQString(d.countText));
}

void MainWindow::showSelectedServer(QTreeWidgetItem* row) {
  if (!row) return;
  resetGraph(250);
  shownInfo_.mapLines = QStringList{toQString(kMapRotationHeading), toQString(kMapRotationRule)};
  // The row is followed through re-sorts while the query waits; it is gone
  // when the server view dropped it meanwhile.
  const QPersistentModelIndex tracked(
      ui_->serverView->model()->index(ui_->serverView->indexOfTopLevelItem(row), 0));
  queryServerNamed(toBytes(row->text(2)), [this, tracked](const std::string& reply) {
    QTreeWidgetItem* current =
        tracked.isValid() ? ui_->serverView->topLevelItem(tracked.row()) : nullptr;
    emit propertiesRefreshRequested();
    applyRowSelection(current, reply);
  });
}

void MainWindow::applyRowSelection(QTreeWidgetItem* row, const std::string& reply) {
  const ServerDetails d = rowSelectionDetails(reply);
  if (!d.answered) {
    showNoAnswer(true);
    if (row) {
      keepRowPlayers(row, std::string());
      showRowState(row, noResponseRow(std::string()));
    }
    return;
  }
  autoSort_ = false;
  showAnswer(d);
  if (row) {
    row->setText(3, toQString(d.reply.edition));
    row->setText(1, toQString(d.reply.mapName));
    keepRowPlayers(row, reply);
    // The caption and icon a scan pass gives the same reply.
    showRowState(row, answeredRow(std::string(), d.reply.scanPlayerCount(), d.reply.maxClients,
                                  std::string(), std::string()));
    ui_->serverView->scrollToItem(row);
    ui_->serverView->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
  }
  if (!d.maxIsNumber)
    dialogs().showError(this, toQString(conversionErrorText(d.reply.maxClients)));
  else
    setLabelColour(ui_->playerCountLabel, d.full ? kRed : kGreen);
}

void MainWindow::showRowState(QTreeWidgetItem* row, const ScanRow& state) {
  setRowIcon(row, state.icon);
  setRowCaption(row, toQString(state.caption));
}

void MainWindow::goToBuddyServer() {
  QTreeWidgetItem* buddy = ui_->buddyView->currentItem();
  if (!buddy || !buddy->isSelected()) return;
  const QString host = buddy->text(1);
  if (!scanning_) {
    autoSort_ = true;
    QTreeWidgetItem* row = nullptr;
    for (int i = 0; !row && i < serverRowCount(); ++i)
      if (serverRow(i)->text(2) == host) row = serverRow(i);
    if (!row) return;
    if (!row->isHidden()) {
      ui_->serverView->clearSelection();
      ui_->serverView->setCurrentItem(row);  // runs the row selection
      ui_->serverView->scrollToItem(row);
      return;
    }
  }

  // During a scan the server view is left to the scan; a row the filter
  // hides is never selected: the details alone show the server.
  resetGraph(97);
  queryServerNamed(toBytes(host), [this](const std::string& reply) {
    emit propertiesRefreshRequested();
    applyBuddyReply(reply);
  });
}

void MainWindow::applyBuddyReply(const std::string& reply) {
  const ServerDetails d = buddyDetails(reply);
  if (!d.answered) {
    showNoAnswer(false);
    return;
  }
  shownInfo_.mapLines = QStringList{toQString(kMapRotationHeading), toQString(kMapRotationRule)};
  showAnswer(d);
  if (!d.maxIsNumber)
    dialogs().showError(this, toQString(conversionErrorText(d.reply.maxClients)));
  else
    setLabelColour(ui_->playerCountLabel, d.full ? kRed : kGreen);
}

void MainWindow::addPlayerToBuddies() {
  QTreeWidgetItem* player = ui_->playerView->currentItem();
  if (!player || !player->isSelected()) return;
  const QString name = player->text(0);
  setStatusText("Adding " + name + " to Buddylist");
  emit buddyAddRequested(name);
}

void MainWindow::showBuddyAdded() { setStatusText("Done!"); }

}  // namespace tarvix
