#include "app/CreditsWindow.h"

#include <QLabel>
#include <QMouseEvent>
#include <QShowEvent>

#include "components/JpegImage.h"
#include "components/Placement.h"
#include "store/Settings.h"

namespace tarvix {

CreditsWindow::CreditsWindow(const Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setObjectName("Form8");
  setWindowTitle("CREDITS");
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setFixedSize(249, 249);

  standardPicture = new QLabel(this);
  standardPicture->setObjectName("Image1");
  standardPicture->setGeometry(0, 0, 249, 249);
  standardPicture->setPixmap(QPixmap::fromImage(loadJpeg(":/credits1.jpg")));
  fourthBannerPicture = new QLabel(this);
  fourthBannerPicture->setObjectName("Image2");
  fourthBannerPicture->setGeometry(0, 0, 249, 249);
  fourthBannerPicture->setPixmap(QPixmap::fromImage(loadJpeg(":/credits2.jpg")));
  fourthBannerPicture->setVisible(false);

  centreOnDesktop(this);
}

void CreditsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) showPictureForBanner();
}

void CreditsWindow::showPictureForBanner() {
  const bool fourth = settings_.config().bannerIndex == "3";
  standardPicture->setVisible(!fourth);
  fourthBannerPicture->setVisible(fourth);
}

void CreditsWindow::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) returnToOptions();
}

void CreditsWindow::returnToOptions() {
  hide();
  emit optionsRequested();
}

}  // namespace tarvix
