// The opt-in filter bar above the server view: hide empty, full or silent
// servers, or show only those whose name, map or a player's name holds a
// text. It only hides rows: their texts, the server name list, the list file
// and what a pass scans stay as they are.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/core/ServerFilter.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "protocol/StatusReply.h"

namespace tarvix {

namespace {

// The names of the players in the row's last reply, beside its state icon.
constexpr int kPlayersRole = Qt::UserRole + 1;

QCheckBox* filterBox(QWidget* bar, QHBoxLayout* row, const char* name, const char* caption) {
  auto* box = new QCheckBox(caption, bar);
  box->setObjectName(name);
  row->addWidget(box);
  return box;
}

}  // namespace

void MainWindow::buildFilterBar(QWidget* central) {
  FilterBar& f = *filter_;
  f.bar = new QWidget(central);
  f.bar->setObjectName("FilterBar");
  auto* row = new QHBoxLayout(f.bar);
  row->setContentsMargins(0, 0, 0, 0);
  f.hideEmpty = filterBox(f.bar, row, "HideEmptyCheckBox", "hide empty");
  f.hideFull = filterBox(f.bar, row, "HideFullCheckBox", "hide full");
  f.hideNoResponse = filterBox(f.bar, row, "HideNoResponseCheckBox", "hide \"no response\"");
  f.text = new QLineEdit(f.bar);
  f.text->setObjectName("FilterEdit");
  f.text->setPlaceholderText("server, map or player");
  f.text->setToolTip("Shows the servers whose name, map or a player's name holds this text");
  f.text->setClearButtonEnabled(true);
  row->addWidget(f.text, 1);
  for (QCheckBox* box : {f.hideEmpty, f.hideFull, f.hideNoResponse}) {
    connect(box, &QCheckBox::toggled, this, &MainWindow::applyFilter);
    connect(box, &QCheckBox::toggled, this, &MainWindow::saveFilter);
  }
  connect(f.text, &QLineEdit::textChanged, this, &MainWindow::applyFilter);
  // Kept when the user is done typing, not at every key; shutdown keeps it too.
  connect(f.text, &QLineEdit::editingFinished, this, &MainWindow::saveFilter);
  f.bar->setVisible(false);
  auto* column = static_cast<QVBoxLayout*>(ui_->serverView->parentWidget()->layout());
  column->insertWidget(column->indexOf(ui_->serverView), f.bar);
}

void MainWindow::showFilterBar(bool on) {
  if (on == !filter_->bar->isHidden()) return;
  filter_->bar->setVisible(on);
  {
    // A bar comes back as the user left it; one put away hides nothing, and
    // shows nothing hidden when it comes back.
    const ServerFilter kept = on ? IniSettings().serverFilter() : ServerFilter{};
    const QSignalBlocker a(filter_->hideEmpty), b(filter_->hideFull), c(filter_->hideNoResponse),
        d(filter_->text);
    filter_->hideEmpty->setChecked(kept.hideEmpty);
    filter_->hideFull->setChecked(kept.hideFull);
    filter_->hideNoResponse->setChecked(kept.hideNoResponse);
    filter_->text->setText(toQString(kept.text));
  }
  if (!on) saveFilter();
  applyFilter();
}

ServerFilter MainWindow::filterTicks() const {
  ServerFilter filter;
  filter.hideEmpty = filter_->hideEmpty->isChecked();
  filter.hideFull = filter_->hideFull->isChecked();
  filter.hideNoResponse = filter_->hideNoResponse->isChecked();
  filter.text = toBytes(filter_->text->text());
  filter.country = countryChoice();
  return filter;
}

void MainWindow::saveFilter() const {
  ServerFilter kept = filterTicks();
  kept.country = countryToKeep();
  IniSettings().setServerFilter(kept);
}

namespace {

bool passes(const ServerFilter& filter, const QTreeWidgetItem* row) {
  if (filter.hidesNothing()) return true;
  std::vector<std::string> players;
  for (const QString& name : row->data(0, kPlayersRole).toStringList())
    players.push_back(toBytes(name));
  const std::string map = toBytes(row->text(1)), host = toBytes(row->text(2));
  const std::string country = rowCountry(row);
  return rowPassesFilter(filter,
                         {row->data(0, Qt::UserRole).toInt(), map, host, &players, country});
}

}  // namespace

void MainWindow::applyFilter() {
  const ServerFilter filter =
      !filter_->bar || filter_->bar->isHidden() ? ServerFilter{} : filterTicks();
  for (int i = 0; i < serverRowCount(); ++i) {
    QTreeWidgetItem* row = serverRow(i);
    row->setHidden(!passes(filter, row));
  }
  dropHiddenSelection();
  showShownCount();
}

void MainWindow::filterServerRow(QTreeWidgetItem* row) {
  if (!filter_->bar || filter_->bar->isHidden()) return;
  const ServerFilter filter = filterTicks();
  const bool hidden = !passes(filter, row);
  if (hidden == row->isHidden()) return;
  row->setHidden(hidden);
  if (hidden) dropHiddenSelection();
  showShownCount();
}

void MainWindow::filterNewRows(const QList<QTreeWidgetItem*>& rows) {
  if (filter_->bar->isHidden()) return;
  const ServerFilter filter = filterTicks();
  for (QTreeWidgetItem* row : rows) row->setHidden(!passes(filter, row));
}

bool MainWindow::serverRowShown(int index) const {
  const QTreeWidgetItem* row = serverRow(index);
  return row && !row->isHidden();
}

void MainWindow::dropHiddenSelection() {
  // The view's own list of selected items leaves hidden rows out.
  const QModelIndexList selected = ui_->serverView->selectionModel()->selectedRows();
  if (selected.isEmpty() || !ui_->serverView->isRowHidden(selected.first().row(), {})) return;
  ui_->serverView->selectionModel()->clear();
  cancelDetailsQuery();
  settings_.setCurrentServer({});
  ui_->playerView->clear();
  for (QLabel* l : {ui_->playerCountLabel, ui_->mapLabel, ui_->hostNameLabel, ui_->editionLabel})
    l->clear();
  emit selectedRowHidden();
}

void MainWindow::keepRowPlayers(QTreeWidgetItem* row, const std::string& reply) {
  QStringList names;
  for (const std::string& name : scanPlayerNames(reply)) names << toQString(name);
  row->setData(0, kPlayersRole, names);
}

void MainWindow::showShownCount() {
  if (scanning_) return;  // the pass's progress has the status bar
  int shown = 0;
  for (int i = 0; i < serverRowCount(); ++i) shown += serverRow(i)->isHidden() ? 0 : 1;
  if (shown < serverRowCount()) {
    setStatusText(toQString(shownServersText(shown, serverRowCount())));
    filter_->countShown = true;
  } else if (filter_->countShown) {
    showServerCount(serverNameCount());
  }
}

}  // namespace tarvix
