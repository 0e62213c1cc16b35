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

  standardPicture_ = new QLabel(this);
  standardPicture_->setObjectName("Image1");
  standardPicture_->setGeometry(0, 0, 249, 249);
  standardPicture_->setPixmap(QPixmap::fromImage(loadJpeg(":/credits1.jpg")));
  fourthBannerPicture_ = new QLabel(this);
  fourthBannerPicture_->setObjectName("Image2");
  fourthBannerPicture_->setGeometry(0, 0, 249, 249);
  fourthBannerPicture_->setPixmap(QPixmap::fromImage(loadJpeg(":/credits2.jpg")));
  fourthBannerPicture_->setVisible(false);

  centreOnDesktop(this);
}

void CreditsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) showPictureForBanner();
}

void CreditsWindow::showPictureForBanner() {
  const bool fourth = settings_.config().bannerIndex == "3";
  standardPicture_->setVisible(!fourth);
  fourthBannerPicture_->setVisible(fourth);
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
