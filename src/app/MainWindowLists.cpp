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
#include <algorithm>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/core/ListStatus.h"
#include "components/QtText.h"
#include "components/ViewItems.h"
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
  listLoad_.reset();
  ui_->serverNameList->clear();
  ui_->serverView->clear();
  ui_->buddyView->clear();
  ui_->playerView->clear();
  for (QLabel* l : {ui_->playerCountLabel, ui_->mapLabel, ui_->hostNameLabel, ui_->editionLabel})
    l->clear();
  ui_->buddyView->headerItem()->setText(0, "No Buddys online");
}

// A list being loaded a part per turn of the event loop.
struct MainWindow::ListLoad {
  QString listName;
  std::vector<std::string> names;  // as in the file: the server name list
  std::vector<std::string> rows;   // in the view's order when `sorted`
  bool sorted = false;
  std::size_t next = 0;  // the first name not yet shown
};

namespace {

// Rows shown per turn: a turn stays well within 50 ms.
constexpr std::size_t kRowsPerTurn = 500;
constexpr int kHostColumn = 2;

}  // namespace

void MainWindow::loadServerList(const QString& listName, const std::vector<std::string>& names) {
  setStatusText("loading servers...please wait");
  auto load = std::make_shared<ListLoad>();
  load->listName = listName;
  load->names = names;
  // New rows differ in their names alone: into an empty view they go in
  // its order at once, and the view needs no sort at the end.
  load->sorted = serverRowCount() == 0;
  load->rows = load->sorted ? inViewOrder(names) : names;
  listLoad_ = load;
  ui_->scanProgress->setRange(0, static_cast<int>(names.size()));
  ui_->scanProgress->setValue(0);
  ui_->scanProgress->setVisible(true);
  loadListPart(load);
}

void MainWindow::loadListPart(const std::shared_ptr<ListLoad>& load) {
  // Cleared, or another list chosen, meanwhile.
  if (load != listLoad_) return;
  const std::size_t from = load->next;
  const std::size_t to = std::min(from + kRowsPerTurn, load->names.size());
  QStringList names;
  for (std::size_t i = from; i < to; ++i) names << toQString(load->names[i]);
  ui_->serverNameList->addItems(names);
  addServerRows({load->rows.begin() + from, load->rows.begin() + to});
  load->next = to;
  ui_->scanProgress->setValue(static_cast<int>(to));
  // A list of one part is shown and scanned at once; a longer one starts its
  // scan in a turn of its own.
  if (to < load->names.size() || (from > 0 && to > from)) {
    QTimer::singleShot(1, this, [this, load] { loadListPart(load); });
    return;
  }
  listLoad_.reset();
  ui_->scanProgress->setVisible(false);
  ui_->serverNameList->setCurrentText(load->listName);
  showServerCount(static_cast<int>(load->names.size()));
  if (!load->sorted) sortServerView();
  startScan();
}

std::vector<std::string> MainWindow::inViewOrder(const std::vector<std::string>& names) const {
  if (sortColumn_ != kHostColumn) return names;  // rows alike in every other column
  std::vector<std::string> keys;
  keys.reserve(names.size());
  for (const std::string& name : names) keys.push_back(serverSortBytes(toQString(name)));
  std::vector<std::size_t> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const QTreeWidget* view = ui_->serverView;
  // As the view sorts: stable, descending by the reversed compare.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return sortDescending_ ? serverSortsBefore(view, kHostColumn, keys[b], keys[a])
                           : serverSortsBefore(view, kHostColumn, keys[a], keys[b]);
  });
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (std::size_t i : order) sorted.push_back(names[i]);
  return sorted;
}

void MainWindow::showStandardList(const std::vector<std::string>& names) {
  ui_->serverNameList->clear();
  for (const std::string& n : names) ui_->serverNameList->addItem(toQString(n));
  ui_->serverNameList->setCurrentText(kStandardList);
  showServerCount(static_cast<int>(names.size()));
  ui_->serverView->clear();
  listLoad_.reset();
  addServerRows(names);
  showShownCount();
}

void MainWindow::addServerRows(std::span<const std::string> names) {
  // All at once: the views take thousands of rows in one insert, where one
  // insert (and repaint) per row held up the window for seconds.
  QStringList hosts;
  QList<QTreeWidgetItem*> rows;
  hosts.reserve(static_cast<qsizetype>(names.size()));
  rows.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string& name : names) {
    hosts << toQString(name);
    rows << new ServerItem(QStringList{"not scanned", QString(), hosts.back(), QString()});
    setRowIcon(rows.back(), RowNotScanned);
  }
  ui_->serverView->addTopLevelItems(rows);
  filterNewRows(rows);
}

void MainWindow::showAddedServer(const std::string& name) {
  ui_->serverNameList->addItem(toQString(name));
  // The row first, so that "N of M servers shown" counts it.
  QTreeWidgetItem* row = addServerRow(name);
  showServerCount(ui_->serverNameList->count());
  ui_->serverView->scrollToItem(row);
  // The focus mark only: the row is not selected, so it is not queried.
  ui_->serverView->selectionModel()->setCurrentIndex(ui_->serverView->indexFromItem(row),
                                                     QItemSelectionModel::NoUpdate);
}

void MainWindow::selectServerRow(int index) {
  QTreeWidgetItem* row = serverRow(index);
  if (!row || row->isHidden()) return;
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
