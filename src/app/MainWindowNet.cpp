// The main window's host checker and the shutdown of its ping threads.
#include <QCoreApplication>

#include "app/MainWindow.h"
#include "components/HostChecker.h"
#include "components/PingThread.h"

namespace tarvix {

void MainWindow::buildHostChecker() {
  // A main window being created starts the run; the flag is only set by the
  // shutdown of an earlier main window in the same process.
  setApplicationTerminated(false);
  HostChecker1 = new HostChecker(this);
  HostChecker1->setObjectName("HostChecker1");
  HostChecker1->setLogID("Link checker");
  HostChecker1->setAutoCheck(false);
  HostChecker1->setAutoCheckPeriod(500);
  HostChecker1->setPingCount(1);
  HostChecker1->setPingSize(1);
  HostChecker1->setTTL(64);
  HostChecker1->setPingTimeOut(1500);
  HostChecker1->setHostName("localhost");
  HostChecker1->setPingMode(hpmSimultaneous);
  HostChecker1->OnLog = [this](QObject*, const std::string&, std::string& msg, std::uint8_t&,
                               LogStatus&) { HostChecker1Log(msg); };
  // Also when the program ends without closing this window.
  if (QCoreApplication* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &MainWindow::shutdownPingThreads);
}

void MainWindow::shutdownPingThreads() {
  setApplicationTerminated(true);
  if (HostChecker1) HostChecker1->setAutoCheck(false);
  PingThread::PostQuitToAll();
}

}  // namespace tarvix
