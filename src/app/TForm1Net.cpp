// The main window's host checker and the shutdown of its ping threads.
#include <QCoreApplication>

#include "app/TForm1.h"
#include "components/THostChecker.h"
#include "components/TPingThread.h"

namespace tarvix {

void TForm1::buildHostChecker() {
  // A main window being created starts the run; the flag is only set by the
  // shutdown of an earlier main window in the same process.
  SetApplicationTerminated(false);
  HostChecker1 = new THostChecker(this);
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
                               TLogStatus&) { HostChecker1Log(msg); };
  // Also when the program ends without closing this window.
  if (QCoreApplication* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &TForm1::shutdownPingThreads);
}

void TForm1::shutdownPingThreads() {
  SetApplicationTerminated(true);
  if (HostChecker1) HostChecker1->setAutoCheck(false);
  TPingThread::PostQuitToAll();
}

}  // namespace tarvix
