#include "components/WindowFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tarvix {

namespace {

// The frame the window manager drew around the window, asked of the
// platform window (a widget learns it only from a later move); none before
// the window manager has framed the window, when the platform's answer may
// be none or nonsense.
QMargins frameMargins(const QWidget* window) {
  const QWindow* handle = window->windowHandle();
  const QMargins m = handle ? handle->frameMargins() : QMargins();
  return std::min({m.left(), m.top(), m.right(), m.bottom()}) < 0 ? QMargins() : m;
}

// The room the frame takes; until the window manager has framed the window,
// a title bar and thin borders are assumed.
QSize frameExtent(const QWidget* window) {
  QMargins m = frameMargins(window);
  if (m.isNull()) {
    const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    m = {border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight), border, border};
  }
  return {m.left() + m.right(), m.top() + m.bottom()};
}

QPoint framePosition(const QWidget* window) {
  const QMargins m = frameMargins(window);
  return window->geometry().topLeft() - QPoint(m.left(), m.top());
}

// Fits the window on every show, and once more when the window manager has
// framed it (its platform window is exposed or moved): before that its frame
// is only estimated.
class FitOnShow : public QObject {
 public:
  explicit FitOnShow(QWidget* window) : QObject(window), window_(window) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Show) {
      fitWithinScreen(window_);
      framePending_ = frameMargins(window_).isNull();
      if (QWindow* handle = window_->windowHandle(); handle && handle != handle_) {
        handle_ = handle;
        handle->installEventFilter(this);
      }
    } else if (watched == handle_ && framePending_ &&
               (event->type() == QEvent::Expose || event->type() == QEvent::Move) &&
               !frameMargins(window_).isNull()) {
      framePending_ = false;
      QTimer::singleShot(0, window_, [window = window_] { fitWithinScreen(window); });
    }
    return false;
  }

 private:
  QWidget* window_;
  QWindow* handle_ = nullptr;
  bool framePending_ = false;
};

// Puts `content` (sized as it was) into a scroll area that fills `holder`.
QScrollArea* scrolling(QWidget* content) {
  auto* area = new QScrollArea;
  area->setObjectName("WindowFitScrollArea");
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(false);
  content->setFixedSize(content->size());
  area->setWidget(content);
  return area;
}

// Moves the window's own children (not its child windows) into a content
// widget of the window's size, shown in a scroll area that fills the window.
void scrollContent(QWidget* window) {
  if (auto* main = qobject_cast<QMainWindow*>(window)) {
    if (QWidget* central = main->centralWidget(); central && !central->layout()) {
      const QSize size = central->size();
      main->takeCentralWidget();
      central->resize(size);
      main->setCentralWidget(scrolling(central));
      central->show();
    }
    return;
  }
  auto* content = new QWidget;
  content->resize(window->size());
  for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) continue;
    const bool hidden = child->isHidden() && child->testAttribute(Qt::WA_WState_ExplicitShowHide);
    const QRect geometry = child->geometry();
    child->setParent(content);
    child->setGeometry(geometry);
    child->setVisible(!hidden);
  }
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  QScrollArea* area = scrolling(content);
  layout->addWidget(area);
  content->show();
  area->show();
}

}  // namespace

void keepWithinScreen(QWidget* window) { window->installEventFilter(new FitOnShow(window)); }

bool fitWithinScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return false;
  const QRect area = screen->availableGeometry();
  const QSize frame = frameExtent(window);
  const QSize room = area.size() - frame;
  const QSize size = window->size();
  const bool tooLarge = size.width() > room.width() || size.height() > room.height();
  if (tooLarge) {
    if (!window->layout()) scrollContent(window);
    if (QLayout* layout = window->layout()) layout->setSizeConstraint(QLayout::SetNoConstraint);
    window->setMinimumSize(std::min(size.width(), room.width() / 2),
                           std::min(size.height(), room.height() / 2));
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(size.boundedTo(room));
  }
  // The frame's place: centred when shrunk, else only brought within.
  const QSize outer = window->size() + frame;
  QPoint at = tooLarge ? area.topLeft() + QPoint((area.width() - outer.width()) / 2,
                                                 (area.height() - outer.height()) / 2)
                       : framePosition(window);
  at.setX(std::clamp(at.x(), area.left(), area.right() + 1 - outer.width()));
  at.setY(std::clamp(at.y(), area.top(), area.bottom() + 1 - outer.height()));
  if (at == framePosition(window)) return tooLarge;
  // move() places the frame as the widget knows it, which may lag behind.
  const QMargins m = frameMargins(window);
  const QPoint known = window->geometry().topLeft() - window->frameGeometry().topLeft();
  window->move(at + QPoint(m.left(), m.top()) - known);
  return tooLarge;
}

}  // namespace tarvix
