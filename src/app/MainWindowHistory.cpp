// The window's side of the history: "history..." in the server menu, which
// asks for the selected server's history window.
#include <QAction>
#include <QMenu>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/DataFile.h"
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
