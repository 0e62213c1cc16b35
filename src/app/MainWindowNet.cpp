// The main window's host checker and the shutdown of its ping threads.
#include <QCoreApplication>

#include "app/MainWindow.h"
#include "components/HostChecker.h"
#include "components/PingJob.h"

namespace tarvix {

void MainWindow::buildHostChecker() {
  // A main window being created starts the run; the flag is only set by the
  // shutdown of an earlier main window in the same process.
  setApplicationTerminated(false);
  HostChecker1 = new HostChecker(this);
  HostChecker1->setObjectName("HostChecker1");
  HostChecker1->setLogId("Link checker");
  HostChecker1->setAutoCheck(false);
  HostChecker1->setAutoCheckPeriod(500);
  HostChecker1->setPingCount(1);
  HostChecker1->setPingSize(1);
  HostChecker1->setTtl(64);
  HostChecker1->setPingTimeout(1500);
  HostChecker1->setHostName("localhost");
  HostChecker1->setPingMode(PingMode::Simultaneous);
  connect(HostChecker1, &HostChecker::lineLogged, this,
          [this](const std::string&, const std::string& line) { HostChecker1Log(line); });
  // Also when the program ends without closing this window.
  if (QCoreApplication* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &MainWindow::shutdownPingThreads);
}

void MainWindow::shutdownPingThreads() {
  setApplicationTerminated(true);
  if (HostChecker1) HostChecker1->setAutoCheck(false);
  quitAllPings();
}

}  // namespace tarvix
