// The shutdown of the host checker's pings.
#include <QCoreApplication>

#include "app/MainWindow.h"
#include "components/PingJob.h"

namespace tarvix {

void MainWindow::watchPingShutdown() {
  // A main window being created starts the run; the flag is only set by the
  // shutdown of an earlier main window in the same process.
  setApplicationTerminated(false);
  // Also when the program ends without closing this window.
  if (QCoreApplication* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &MainWindow::shutdownPingThreads);
}

void MainWindow::shutdownPingThreads() {
  setApplicationTerminated(true);
  quitAllPings();
}

}  // namespace tarvix
