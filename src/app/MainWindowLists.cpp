// What the lists windows ask of the main window: a chosen server list shown
// and scanned, a quickly added server, a server found by the search, the
// edition of a directly connected server.
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "components/QtText.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

QString serversInListText(std::size_t count, const std::string& listPath) {
  return QString::number(count) + " servers in " + toQString(listPath);
}

}  // namespace

bool MainWindow::scanRunning() const { return scanning; }

bool MainWindow::autoScanRunning() const { return autoScanTimer->isActive(); }

void MainWindow::setAutoScan(bool on) {
  if (on)
    autoScanTimer->start();
  else
    autoScanTimer->stop();
}

void MainWindow::clearServerList() {
  serverNameList->clear();
  serverView->clear();
  buddyView->clear();
  playerView->clear();
  for (QLabel* l : {playerCountLabel, mapLabel, hostNameLabel, editionLabel}) l->clear();
  buddyView->headerItem()->setText(0, "No Buddys online");
}

void MainWindow::loadServerList(const QString& listName, const std::vector<std::string>& names) {
  setStatusText("loading servers...please wait");
  repaint();
  scanProgress->setRange(0, static_cast<int>(names.size()));
  scanProgress->setValue(0);
  scanProgress->setVisible(true);
  for (const std::string& name : names) {
    serverNameList->addItem(toQString(name));
    addServerRow(name);
    scanProgress->setValue(scanProgress->value() + 1);
    repaint();
  }
  scanProgress->setVisible(false);
  serverNameList->setCurrentText(listName);
  setStatusText(serversInListText(names.size(), settings_.serverListPath()));
  sortServerView();
  startScan();
}

void MainWindow::showStandardList(const std::vector<std::string>& names) {
  serverNameList->clear();
  for (const std::string& n : names) serverNameList->addItem(toQString(n));
  serverNameList->setCurrentText(kStandardList);
  setStatusText(serversInListText(names.size(), settings_.serverListPath()));
  serverView->clear();
  for (const std::string& name : names) addServerRow(name);
}

void MainWindow::showAddedServer(const std::string& name) {
  serverNameList->addItem(toQString(name));
  QTreeWidgetItem* row = addServerRow(name);
  serverView->scrollToItem(row);
  // The focus mark only: the row is not selected, so it is not queried.
  serverView->selectionModel()->setCurrentIndex(serverView->indexFromItem(row),
                                                QItemSelectionModel::NoUpdate);
}

void MainWindow::selectServerRow(int index) {
  QTreeWidgetItem* row = serverRow(index);
  if (!row) return;
  // Always a fresh selection, so that the row counts as the user's choice
  // even when it was selected already.
  serverView->clearSelection();
  serverView->setCurrentItem(row);
  serverView->scrollToItem(row);
  serverView->setFocus();
}

void MainWindow::showEdition(const QString& edition) { editionLabel->setText(edition); }

}  // namespace tarvix
