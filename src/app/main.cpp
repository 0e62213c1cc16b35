#include <QApplication>
#include <string>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ProgramStart.h"
#include "components/Dialogs.h"

int main(int argc, char** argv) {
  // Help, version, usage errors and the headless modes need no display and
  // start no window.
  const tarvix::CommandLine commandLine =
      tarvix::parseCommandLine(tarvix::argumentList(argc, argv));
  if (std::optional<int> rc = tarvix::runWithoutWindow(commandLine, argc, argv)) return *rc;

  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarvix");
  QApplication::setQuitOnLastWindowClosed(false);
  std::string error;
  if (!tarvix::useDataFolder(commandLine, error)) {
    tarvix::dialogs().showError(nullptr, QString::fromLocal8Bit(error));
    return 1;
  }
  tarvix::Application program(commandLine.recordHistory);
  program.show();
  int rc = app.exec();
  program.shutdown();
  return rc;
}
