// What the lists windows ask of the main window: a chosen server list shown
// and scanned, a quickly added server, a server found by the search, the
// edition of a directly connected server.
#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/core/ListStatus.h"
#include "components/QtText.h"
#include "store/ServerLists.h"

namespace tarvix {

void MainWindow::showServerCount(int count) {
  setStatusText(
      toQString(serversInListText(static_cast<std::size_t>(count), settings_.serverListPath())));
  // While the filter bar hides rows, it says how many are shown instead.
  filter_->countShown = false;
  showShownCount();
}

bool MainWindow::scanRunning() const { return scanning_; }

bool MainWindow::autoScanRunning() const { return ui_->autoScanTimer->isActive(); }

void MainWindow::setAutoScan(bool on) {
  if (on)
    ui_->autoScanTimer->start();
  else
    ui_->autoScanTimer->stop();
}

void MainWindow::clearServerList() {
  ui_->serverNameList->clear();
  ui_->serverView->clear();
  ui_->buddyView->clear();
  ui_->playerView->clear();
  for (QLabel* l : {ui_->playerCountLabel, ui_->mapLabel, ui_->hostNameLabel, ui_->editionLabel})
    l->clear();
  ui_->buddyView->headerItem()->setText(0, "No Buddys online");
}

void MainWindow::loadServerList(const QString& listName, const std::vector<std::string>& names) {
  setStatusText("loading servers...please wait");
  repaint();
  ui_->scanProgress->setRange(0, static_cast<int>(names.size()));
  ui_->scanProgress->setValue(0);
  ui_->scanProgress->setVisible(true);
  for (const std::string& name : names) {
    ui_->serverNameList->addItem(toQString(name));
    addServerRow(name);
    ui_->scanProgress->setValue(ui_->scanProgress->value() + 1);
    repaint();
  }
  ui_->scanProgress->setVisible(false);
  ui_->serverNameList->setCurrentText(listName);
  showServerCount(static_cast<int>(names.size()));
  sortServerView();
  startScan();
}

void MainWindow::showStandardList(const std::vector<std::string>& names) {
  ui_->serverNameList->clear();
  for (const std::string& n : names) ui_->serverNameList->addItem(toQString(n));
  ui_->serverNameList->setCurrentText(kStandardList);
  showServerCount(static_cast<int>(names.size()));
  ui_->serverView->clear();
  for (const std::string& name : names) addServerRow(name);
}

void MainWindow::showAddedServer(const std::string& name) {
  ui_->serverNameList->addItem(toQString(name));
  showServerCount(ui_->serverNameList->count());
  QTreeWidgetItem* row = addServerRow(name);
  ui_->serverView->scrollToItem(row);
  // The focus mark only: the row is not selected, so it is not queried.
  ui_->serverView->selectionModel()->setCurrentIndex(ui_->serverView->indexFromItem(row),
                                                     QItemSelectionModel::NoUpdate);
}

void MainWindow::selectServerRow(int index) {
  QTreeWidgetItem* row = serverRow(index);
  if (!row) return;
  // Always a fresh selection, so that the row counts as the user's choice
  // even when it was selected already.
  ui_->serverView->clearSelection();
  ui_->serverView->setCurrentItem(row);
  ui_->serverView->scrollToItem(row);
  ui_->serverView->setFocus();
}

void MainWindow::showEdition(const QString& edition) { ui_->editionLabel->setText(edition); }

void MainWindow::addServerSearchActions(const QList<QAction*>& actions) {
  ui_->serverMenu->addSeparator();
  ui_->serverMenu->addActions(actions);
  QAction* addToList = ui_->serverMenu->addAction("add to list...");
  addToList->setObjectName("AddToListAction");
  connect(addToList, &QAction::triggered, this, [this] {
    const QTreeWidgetItem* row = ui_->serverView->currentItem();
    // The "Host" column holds the server's name in the list.
    if (row && row->isSelected()) emit addToListRequested(toBytes(row->text(2)));
  });
}

}  // namespace tarvix
