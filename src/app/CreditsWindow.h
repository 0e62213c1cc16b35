#pragma once
// "CREDITS": a borderless picture over every window; a click on it goes back
// to the Options window.
#include <QWidget>

class QLabel;

namespace tarvix {

class CreditsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CreditsWindow(QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;

  void FormShow();
  // A click on the picture.
  void Image1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tarvix
