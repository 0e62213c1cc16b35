#include "components/Placement.h"

#include <QEvent>

namespace tarvix {

namespace {

// Watches its window for the first show, centres it, then goes away.
class FirstShowCentring : public QObject {
 public:
  explicit FirstShowCentring(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous()) {
      centreOnDesktop(window_);
      window_->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
};

}  // namespace

void centreOnFirstShow(QWidget* window) { new FirstShowCentring(window); }

}  // namespace tarvix
