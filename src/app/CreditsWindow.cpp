#include "app/CreditsWindow.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/JpegImage.h"
#include "lists/OptionsWindow.h"
#include "components/Placement.h"

namespace tarvix {

CreditsWindow::CreditsWindow(QWidget* parent) : QWidget(parent) {
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

void CreditsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void CreditsWindow::FormShow() {
  const bool second = forms().Form1 && forms().Form1->BannerIndex == "3";
  Image1->setVisible(!second);
  Image2->setVisible(second);
}

void CreditsWindow::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) Image1Click();
}

void CreditsWindow::Image1Click() {
  hide();
  if (forms().Form3) forms().Form3->show();
}

}  // namespace tarvix
