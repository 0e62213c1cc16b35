// Watches and "join when a slot frees": the main window asks, WatchRunner
// watches, the main window and the watches window show what happened.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WatchRunner.h"
#include "app/WatchesWindow.h"
#include "components/Placement.h"
#include "components/QtText.h"

namespace tarvix {

void Application::connectWatches() {
  MainWindow* main = main_.get();
  WatchRunner* runner = watchRunner_.get();
  WatchesWindow* list = watchesWindow_.get();
  list->showWatches(runner->watchTexts());
  QObject::connect(main, &MainWindow::watchRequested, runner, [main, runner](const Watch& w) {
    runner->addWatch(w);
    main->setStatusText("tell me when " + toQString(watchText(w)));
  });
  QObject::connect(main, &MainWindow::joinRequested, runner, [main, runner](const Watch& w) {
    if (!runner->startJoin(w)) main->setStatusText("already waiting for a free slot");
  });
  QObject::connect(main, &MainWindow::joinCancelRequested, runner, &WatchRunner::cancelJoin);
  QObject::connect(main, &MainWindow::watchesRequested, list, [list] { showWindow(list); });
  QObject::connect(main, &MainWindow::shuttingDown, runner, &WatchRunner::stop);
  QObject::connect(list, &WatchesWindow::removeRequested, runner, &WatchRunner::removeWatch);
  QObject::connect(runner, &WatchRunner::watchesChanged, list,
                   [list, runner] { list->showWatches(runner->watchTexts()); });
  QObject::connect(runner, &WatchRunner::alert, main, &MainWindow::notifyAbout);
  QObject::connect(runner, &WatchRunner::joinWaiting, main, &MainWindow::showJoinWaiting);
  QObject::connect(runner, &WatchRunner::joinEnded, main, [main](const QString& text) {
    main->showJoinWaiting(QString());
    main->setStatusText(text);
  });
  QObject::connect(runner, &WatchRunner::joinDue, main, &MainWindow::joinServerNamed);
}

}  // namespace tarvix
