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

bool MainWindow::scanRunning() const { return Scanning; }

bool MainWindow::autoScanRunning() const { return Timer1->isActive(); }

void MainWindow::setAutoScan(bool on) {
  if (on)
    Timer1->start();
  else
    Timer1->stop();
}

void MainWindow::clearServerList() {
  ComboBoxEx1->clear();
  ListView3->clear();
  ListView2->clear();
  ListView1->clear();
  for (QLabel* l : {Label1, Label2, Label3, Label4}) l->clear();
  ListView2->headerItem()->setText(0, "No Buddys online");
}

void MainWindow::loadServerList(const QString& listName, const std::vector<std::string>& names) {
  setStatusText("loading servers...please wait");
  repaint();
  ProgressBar1->setRange(0, static_cast<int>(names.size()));
  ProgressBar1->setValue(0);
  ProgressBar1->setVisible(true);
  for (const std::string& name : names) {
    ComboBoxEx1->addItem(toQString(name));
    addServerRow(name);
    ProgressBar1->setValue(ProgressBar1->value() + 1);
    repaint();
  }
  ProgressBar1->setVisible(false);
  ComboBoxEx1->setCurrentText(listName);
  setStatusText(serversInListText(names.size(), settings_.serverListPath()));
  sortServerView();
  ToolButton3Click();
}

void MainWindow::showStandardList(const std::vector<std::string>& names) {
  ComboBoxEx1->clear();
  for (const std::string& n : names) ComboBoxEx1->addItem(toQString(n));
  ComboBoxEx1->setCurrentText(kStandardList);
  setStatusText(serversInListText(names.size(), settings_.serverListPath()));
  ListView3->clear();
  for (const std::string& name : names) addServerRow(name);
}

void MainWindow::showAddedServer(const std::string& name) {
  ComboBoxEx1->addItem(toQString(name));
  QTreeWidgetItem* row = addServerRow(name);
  ListView3->scrollToItem(row);
  // The focus mark only: the row is not selected, so it is not queried.
  ListView3->selectionModel()->setCurrentIndex(ListView3->indexFromItem(row),
                                               QItemSelectionModel::NoUpdate);
}

void MainWindow::selectServerRow(int index) {
  QTreeWidgetItem* row = serverRow(index);
  if (!row) return;
  // Always a fresh selection, so that the row counts as the user's choice
  // even when it was selected already.
  ListView3->clearSelection();
  ListView3->setCurrentItem(row);
  ListView3->scrollToItem(row);
  ListView3->setFocus();
}

void MainWindow::showEdition(const QString& edition) { Label4->setText(edition); }

}  // namespace tarvix
