#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "app/TForm1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarvix");
  QApplication::setQuitOnLastWindowClosed(false);
  tarvix::CreateForms();
  tarvix::forms().Form1->show();
  int rc = app.exec();
  tarvix::DestroyForms();
  return rc;
}
