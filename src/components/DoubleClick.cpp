#include "components/DoubleClick.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QMetaObject>
#include <QPointer>

namespace tarvix {

namespace {

class TDoubleClickFilter : public QObject {
 public:
  TDoubleClickFilter(QAbstractItemView* view, std::function<void()> handler)
      : QObject(view), view_(view), handler_(std::move(handler)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
      QPointer<TDoubleClickFilter> self(this);
      QMetaObject::invokeMethod(
          this, [self] { if (self) self->handler_(); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  QAbstractItemView* view_;
  std::function<void()> handler_;
};

}  // namespace

void onDoubleClick(QAbstractItemView* view, std::function<void()> handler) {
  view->viewport()->installEventFilter(new TDoubleClickFilter(view, std::move(handler)));
}

}  // namespace tarvix
