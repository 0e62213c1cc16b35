#include "app/TForm8.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>

#include "app/Forms.h"
#include "app/TForm1.h"
#include "components/JpegImage.h"
#include "lists/TForm3.h"
#include "components/Placement.h"

namespace tarvix {

TForm8::TForm8(QWidget* parent) : QWidget(parent) {
  setObjectName("Form8");
  setWindowTitle("CREDITS");
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setFixedSize(249, 249);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(0, 0, 249, 249);
  Image1->setPixmap(QPixmap::fromImage(loadJpeg(":/credits1.jpg")));
  Image2 = new QLabel(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(0, 0, 249, 249);
  Image2->setPixmap(QPixmap::fromImage(loadJpeg(":/credits2.jpg")));
  Image2->setVisible(false);

  centreOnDesktop(this);
}

void TForm8::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm8::FormShow() {
  const bool second = forms().Form1 && forms().Form1->BannerIndex == "3";
  Image1->setVisible(!second);
  Image2->setVisible(second);
}

void TForm8::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) Image1Click();
}

void TForm8::Image1Click() {
  hide();
  if (forms().Form3) forms().Form3->show();
}

}  // namespace tarvix
