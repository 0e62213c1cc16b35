// The main window's keys: F5 scans (and stops a running scan), Ctrl+F opens
// the search window, Delete deletes the selected server after the usual
// question, Ctrl+Q ends the program. Tooltips name the keys.
#include <QAction>
#include <QKeySequence>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"

namespace tarvix {

namespace {

QAction* keyAction(QWidget* owner, const char* name, const QKeySequence& key,
                   Qt::ShortcutContext context = Qt::WindowShortcut) {
  auto* action = new QAction(owner);
  action->setObjectName(name);
  action->setShortcut(key);
  action->setShortcutContext(context);
  owner->addAction(action);
  return action;
}

void nameKeyInTip(QToolButton* button, const QKeySequence& key) {
  button->setToolTip(button->toolTip().trimmed() + " (" + key.toString(QKeySequence::NativeText) +
                     ")");
}

}  // namespace

void MainWindow::bindKeys() {
  const QKeySequence scanKey(Qt::Key_F5);
  const QKeySequence searchKey(Qt::CTRL | Qt::Key_F);
  connect(keyAction(this, "ScanKey", scanKey), &QAction::triggered, this, [this] {
    if (scanning_)
      stopScan();
    else
      startScan();
  });
  connect(keyAction(this, "SearchKey", searchKey), &QAction::triggered, this,
          &MainWindow::searchRequested);
  // Only while the server view has the focus, so a key meant elsewhere never
  // deletes a server.
  connect(keyAction(ui_->serverView, "DeleteKey", QKeySequence(Qt::Key_Delete),
                    Qt::WidgetWithChildrenShortcut),
          &QAction::triggered, this, &MainWindow::deleteSelectedServer);
  connect(keyAction(this, "QuitKey", QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, this,
          &QWidget::close);
  nameKeyInTip(ui_->scanNowButton, scanKey);
  nameKeyInTip(ui_->stopScanButton, scanKey);
  nameKeyInTip(ui_->searchButton, searchKey);
}

}  // namespace tarvix
