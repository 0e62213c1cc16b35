#include "lists/TForm11.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QShowEvent>

namespace tarvix {

TForm11::TForm11(QWidget* parent) : QWidget(parent) {
  setObjectName("Form11");
  setWindowTitle("properties");
}

void TForm11::showEvent(QShowEvent* event) { QWidget::showEvent(event); }
void TForm11::hideEvent(QHideEvent* event) { QWidget::hideEvent(event); }
void TForm11::closeEvent(QCloseEvent* event) { QWidget::closeEvent(event); }
bool TForm11::eventFilter(QObject* watched, QEvent* event) {
  return QWidget::eventFilter(watched, event);
}
void TForm11::FormShow() {}
void TForm11::FormHide() {}
void TForm11::FormClose() {}
void TForm11::Button2Click() {}
void TForm11::Button1Click() {}
void TForm11::CheckBox1Click() {}
void TForm11::resetallpasswords1Click() {}
void TForm11::PaintBox1DblClick() {}
bool TForm11::SavePasswords() { return false; }
void TForm11::ShowServerInfo() {}
void TForm11::focusMainWindow() {}
void TForm11::setHostChecking(bool, bool) {}

}  // namespace tarvix
