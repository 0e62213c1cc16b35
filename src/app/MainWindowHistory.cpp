// The window's side of the history: "history..." in the server menu, which
// asks for the selected server's history window, and the opt-in "show last
// known results": until the first scan of the session, rows show what the
// history last recorded of their server, greyed, "seen N minutes ago".
#include <QAction>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/core/HistoryPasses.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "protocol/StatusReply.h"
#include "store/DataFile.h"
#include "store/ServerListIndex.h"
#include "store/ServerLists.h"

namespace tarvix {

void MainWindow::buildHistoryAction() {
  auto* history = new QAction("history...", this);
  history->setObjectName("HistoryAction");
  const QList<QAction*> actions = ui_->serverMenu->actions();
  // Beside "properties": both tell about the selected server.
  ui_->serverMenu->insertAction(actions.value(actions.indexOf(ui_->propertiesAction) + 1), history);
  connect(history, &QAction::triggered, this, [this] {
    const QTreeWidgetItem* row = ui_->serverView->currentItem();
    if (!row || !row->isSelected()) return;
    const std::string name = toBytes(row->text(2));
    ServerAddress where;
    try {
      where = lookupServer(settings_.serverListPath(), name);
    } catch (const FileError& e) {
      dialogs().showError(this, toQString(e.what()));
      return;
    }
    // A server without an address has no history, which the window says.
    emit historyRequested(where.ip + ":" + where.port, name);
  });
}

}  // namespace tarvix

namespace tarvix {

namespace {

// Set on a row that shows the last recorded state rather than a scan's.
constexpr int kLastKnownRole = Qt::UserRole + 40;

using StatesByName = std::map<std::string, LastState>;

// The last recorded state of each named server of the list at `listPath`.
StatesByName readLastStates(const std::string& listPath, const std::vector<std::string>& names) {
  StatesByName byName;
  try {
    const ServerListIndex index(
        std::make_shared<const std::vector<std::string>>(readLines(listPath)));
    std::map<std::string, std::string> nameOf;
    std::vector<std::string> addresses;
    for (const std::string& name : names)
      if (const std::optional<ServerAddress> at = index.lookup(name); at && !at->ip.empty()) {
        addresses.push_back(at->ip + ":" + at->port);
        nameOf.emplace(addresses.back(), name);
      }
    History history(kHistoryFile, {.readOnly = true});
    for (auto& [address, state] : history.lastStates(addresses)) byName[nameOf[address]] = state;
  } catch (const std::exception&) {
    // No list or no history: nothing to show.
  }
  return byName;
}

}  // namespace

void MainWindow::showLastKnownResults(bool on) {
  lastKnownRead_.cancel();
  if (!on) {
    for (int i = 0; i < serverRowCount(); ++i) {
      QTreeWidgetItem* row = serverRow(i);
      if (!row->data(0, kLastKnownRole).toBool()) continue;
      forgetLastKnown(row);
      for (int column : {1, 3}) row->setText(column, QString());
      setRowIcon(row, RowNotScanned);
      setRowCaption(row, "not scanned");
    }
    return;
  }
  if (scannedThisSession_) return;
  std::vector<std::string> names;
  for (int i = 0; i < serverRowCount(); ++i) names.push_back(toBytes(serverRow(i)->text(2)));
  lastKnownRead_ = runInBackground(
      this,
      [path = settings_.serverListPath(), names](const StopSignal&) {
        return readLastStates(path, names);
      },
      [this](const StatesByName& states) { showLastKnown(states); });
}

void MainWindow::showLastKnown(const std::map<std::string, LastState>& states) {
  if (scannedThisSession_) return;
  const std::int64_t now = historyNow();
  for (int i = 0; i < serverRowCount(); ++i) {
    QTreeWidgetItem* row = serverRow(i);
    const auto it = states.find(toBytes(row->text(2)));
    if (it == states.end()) continue;
    const ServerSample& s = it->second.sample;
    const bool full = isFull(s.players, std::to_string(s.maxPlayers));
    row->setText(1, toQString(s.map));
    row->setText(3, toQString(s.edition));
    const QString seen = QStringLiteral("seen %1 minutes ago")
                             .arg(std::max<std::int64_t>(0, (now - it->second.time) / 60));
    for (int column = 0; column < row->columnCount(); ++column) {
      row->setForeground(column, QBrush(Qt::gray));
      row->setToolTip(column, seen);
    }
    row->setData(0, kLastKnownRole, true);
    setRowIcon(row, full ? RowFull : RowAnswered);
    setRowCaption(row, full ? QStringLiteral("FULL")
                            : QStringLiteral("%1/%2").arg(s.players).arg(s.maxPlayers));
  }
}

void MainWindow::forgetLastKnown(QTreeWidgetItem* row) {
  if (!row->data(0, kLastKnownRole).toBool()) return;
  row->setData(0, kLastKnownRole, QVariant());
  for (int column = 0; column < row->columnCount(); ++column) {
    row->setData(column, Qt::ForegroundRole, QVariant());
    row->setToolTip(column, QString());
  }
}

}  // namespace tarvix
