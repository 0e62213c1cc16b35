#pragma once
// "CREDITS": a borderless picture over every window; a click on it goes back
// to the Options window.
#include <QWidget>

class QLabel;

namespace tarvix {

class Settings;

class CreditsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CreditsWindow(const Settings& settings, QWidget* parent = nullptr);

  // Shows the picture that goes with the chosen banner.
  void showPictureForBanner();
  // A click on the picture: hides this window and asks for the Options window.
  void returnToOptions();

 signals:
  void optionsRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const Settings& settings_;
  QLabel* standardPicture_ = nullptr;
  // Shown instead while the fourth banner is chosen.
  QLabel* fourthBannerPicture_ = nullptr;
};

}  // namespace tarvix
