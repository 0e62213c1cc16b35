#include "components/DoubleClickFilter.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QMetaObject>
#include <QPointer>

namespace tarvix {

namespace {

class DoubleClickFilter : public QObject {
 public:
  DoubleClickFilter(QAbstractItemView* view, std::function<void()> handler)
      : QObject(view), viewport_(view->viewport()), handler_(std::move(handler)) {}

  // The viewport is compared by address only: events reach the filter while
  // the view is being destroyed, when it may no longer be called.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == viewport_ && event->type() == QEvent::MouseButtonDblClick) {
      QPointer<DoubleClickFilter> self(this);
      QMetaObject::invokeMethod(
          this,
          [self] {
            if (self) self->handler_();
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  const QObject* viewport_;
  std::function<void()> handler_;
};

}  // namespace

void onDoubleClick(QAbstractItemView* view, std::function<void()> handler) {
  view->viewport()->installEventFilter(new DoubleClickFilter(view, std::move(handler)));
}

}  // namespace tarvix
