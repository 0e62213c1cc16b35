#include <QApplication>

#include "admin/TForm19.h"
#include "admin/TForm20.h"
#include "admin/TForm21.h"
#include "admin/TForm22.h"
#include "admin/TForm23.h"
#include "admin/TForm24.h"
#include "admin/TForm27.h"
#include "admin/TForm28.h"
#include "app/Forms.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "app/TForm4.h"
#include "app/TForm8.h"
#include "admin/TForm9.h"
#include "lists/TForm11.h"
#include "lists/TForm13.h"
#include "lists/TForm17.h"
#include "lists/TForm3.h"
#include "lists/TForm6.h"

namespace tarvix {

TForms& forms() {
  static TForms f;
  return f;
}

void showWindow(QWidget* window) {
  if (!window) return;
  window->show();
  window->raise();
  window->activateWindow();
}

void CreateForms() {
  InitResources();
  QFont font = QApplication::font();
  font.setPixelSize(11);
  QApplication::setFont(font);
  TForms& f = forms();
  f.Form1 = new TForm1();
  f.Form2 = new TForm2();
  f.Form3 = new TForm3();
  f.Form4 = new TForm4();
  f.Form6 = new TForm6();
  f.Form8 = new TForm8();
  f.Form9 = new TForm9();
  f.Form11 = new TForm11();
  f.Form13 = new TForm13();
  f.Form17 = new TForm17();
  f.Form19 = new TForm19();
  f.Form20 = new TForm20();
  f.Form21 = new TForm21();
  f.Form22 = new TForm22();
  f.Form23 = new TForm23();
  f.Form24 = new TForm24();
  f.Form27 = new TForm27();
  f.Form28 = new TForm28();
}

void DestroyForms() {
  TForms& f = forms();
  delete f.Form28;
  delete f.Form27;
  delete f.Form24;
  delete f.Form23;
  delete f.Form22;
  delete f.Form21;
  delete f.Form20;
  delete f.Form19;
  delete f.Form17;
  delete f.Form13;
  delete f.Form11;
  delete f.Form9;
  delete f.Form8;
  delete f.Form6;
  delete f.Form4;
  delete f.Form3;
  delete f.Form2;
  delete f.Form1;
  f = TForms{};
}

}  // namespace tarvix
