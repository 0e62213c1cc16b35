#include "components/WindowFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace tarvix {

namespace {

class FitOnShow : public QObject {
 public:
  explicit FitOnShow(QWidget* window) : QObject(window) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) fitWithinScreen(static_cast<QWidget*>(watched));
    return false;
  }
};

// The room the window manager's frame takes; before the first show the
// frame is not known yet, so a title bar's height is assumed.
QSize frameExtent(const QWidget* window) {
  const QSize frame = window->frameGeometry().size() - window->geometry().size();
  if (frame.width() > 0 || frame.height() > 0) return frame;
  return {0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight)};
}

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
  // move() places the frame: centred when shrunk, else only brought within.
  const QSize outer = window->size() + frame;
  QPoint at = tooLarge ? area.topLeft() + QPoint((area.width() - outer.width()) / 2,
                                                 (area.height() - outer.height()) / 2)
                       : window->pos();
  at.setX(std::clamp(at.x(), area.left(), area.right() + 1 - outer.width()));
  at.setY(std::clamp(at.y(), area.top(), area.bottom() + 1 - outer.height()));
  if (at != window->pos()) window->move(at);
  return tooLarge;
}

}  // namespace tarvix
