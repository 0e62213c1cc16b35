// The window module's entry, called by the program (app/WindowLoader) to
// open the window; what main() did before the window became a module.
#include <QApplication>
#include <type_traits>

#include "app/Application.h"
#include "app/WindowLoader.h"
#include "components/Dialogs.h"

extern "C" __attribute__((visibility("default"))) int tarvixRunWindow(
    int* argc, char** argv, tarvix::EnterDataFolder enterDataFolder, bool recordHistory) {
  QApplication app(*argc, argv);
  QApplication::setApplicationName("Tarvix");
  QApplication::setQuitOnLastWindowClosed(false);
  if (const char* error = enterDataFolder()) {
    tarvix::dialogs().showError(nullptr, QString::fromLocal8Bit(error));
    return 1;
  }
  tarvix::Application program(recordHistory);
  program.show();
  const int rc = app.exec();
  program.shutdown();
  return rc;
}

static_assert(std::is_same_v<decltype(&tarvixRunWindow), tarvix::RunWindowFunction>);
