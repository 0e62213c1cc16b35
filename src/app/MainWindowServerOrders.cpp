// The server view's opt-in orders: a "Ping" column with each server's reply
// time from the last pass, sorted by value, and "Player" sorted by player
// count, then maximum. Off, the view has its four columns and their byte
// order.
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <iterator>
#include <optional>

#include "app/MainWindow.h"
#include "app/MainWindowGeometry.h"
#include "app/MainWindowUi.h"
#include "components/ViewItems.h"

namespace tarvix {

namespace {

// The reply time of the row's last pass in ms, beside its state icon; -1
// or none without a reply.
constexpr int kReplyMsRole = Qt::UserRole + 2;
constexpr int kPingColumn = static_cast<int>(std::size(kServerColumns));  // after "Game"
constexpr int kHostColumn = 2;
constexpr int kPingWidth = 40;

QString pingText(const QTreeWidgetItem* row) {
  const QVariant ms = row->data(0, kReplyMsRole);
  return ms.isValid() && ms.toInt() >= 0 ? QString::number(ms.toInt()) : QString();
}

}  // namespace

void MainWindow::keepRowPing(QTreeWidgetItem* row, int replyMs) {
  row->setData(0, kReplyMsRole, replyMs);
  if (ui_->serverView->columnCount() > kPingColumn) row->setText(kPingColumn, pingText(row));
}

std::optional<bool> MainWindow::descendingForBestFirst(int column) const {
  if (column == 0 && numericPlayers_) return true;
  if (column == kPingColumn && ui_->serverView->columnCount() > kPingColumn) return false;
  return std::nullopt;
}

void MainWindow::showServerOrders(bool pingColumn, bool numericPlayers) {
  QTreeWidget* view = ui_->serverView;
  const bool hadPing = view->columnCount() > kPingColumn;
  if (hadPing == pingColumn && numericPlayers_ == numericPlayers) return;
  numericPlayers_ = numericPlayers;

  if (pingColumn && !hadPing) {
    view->setColumnCount(kPingColumn + 1);
    view->headerItem()->setText(kPingColumn, "Ping");
    view->setColumnWidth(kPingColumn, kPingWidth);
    // Its room comes from "Host", so that the columns still fit the view.
    view->setColumnWidth(kHostColumn,
                         std::max(kPingWidth, view->columnWidth(kHostColumn) - kPingWidth));
    for (int i = 0; i < serverRowCount(); ++i)
      serverRow(i)->setText(kPingColumn, pingText(serverRow(i)));
  } else if (!pingColumn && hadPing) {
    view->setColumnCount(kPingColumn);
    view->setColumnWidth(kHostColumn, view->columnWidth(kHostColumn) + kPingWidth);
    if (sortColumn_ >= kPingColumn) sortColumn_ = 0;
  }
  setNumericOrders(view, numericPlayers, pingColumn ? kPingColumn : -1);
  // A pass sorts when it ends.
  if (!scanning_) sortServerView();
}

}  // namespace tarvix
