#include <QApplication>

#include "app/Forms.h"
#include "app/TForm1.h"

namespace tarvix {

TForms& forms() {
  static TForms f;
  return f;
}

void CreateForms() {
  InitResources();
  QFont font = QApplication::font();
  font.setPixelSize(11);
  QApplication::setFont(font);
  TForms& f = forms();
  f.Form1 = new TForm1();
}

void DestroyForms() {
  TForms& f = forms();
  delete f.Form1;
  f = TForms{};
}

}  // namespace tarvix
