#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/core/Headless.h"

int main(int argc, char** argv) {
  // Headless switches need no display and start no window.
  std::vector<std::string> args(argv + 1, argv + argc);
  if (std::optional<int> rc = tarvix::runHeadless(args, std::cout, std::cerr)) {
    std::cout.flush();
    return *rc;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarvix");
  QApplication::setQuitOnLastWindowClosed(false);
  tarvix::createForms();
  tarvix::forms().Form1->show();
  int rc = app.exec();
  tarvix::destroyForms();
  return rc;
}
