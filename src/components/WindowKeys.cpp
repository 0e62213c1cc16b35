#include "components/WindowKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

namespace tarvix {

namespace {

class EscapeCloses : public QObject {
 public:
  explicit EscapeCloses(QWidget* window) : QObject(window), window_(window) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) return false;
    window_->close();
    return true;
  }

 private:
  QWidget* window_;
};

class EnterPresses : public QObject {
 public:
  EnterPresses(QWidget* window, QAbstractButton* button,
               std::initializer_list<const QWidget*> except)
      : QObject(window), window_(window), button_(button), except_(except) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    QWidget* focus = window_->focusWidget();
    if (std::find(except_.begin(), except_.end(), focus) != except_.end()) return false;
    auto* focusedButton = qobject_cast<QPushButton*>(focus);
    QAbstractButton* target = focusedButton && window_->isAncestorOf(focusedButton)
                                  ? static_cast<QAbstractButton*>(focusedButton)
                                  : button_.data();
    if (!target || !target->isVisible() || !target->isEnabled()) return false;
    target->click();
    return true;
  }

 private:
  QWidget* window_;
  QPointer<QAbstractButton> button_;
  std::vector<const QWidget*> except_;
};

// Controls a row apart by less than this are on one row.
constexpr int kRowTolerance = 8;

void collectInReadingOrder(QWidget* container, std::vector<QWidget*>& out) {
  std::vector<QWidget*> children;
  for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow() && child->isVisibleTo(container)) children.push_back(child);
  std::stable_sort(children.begin(), children.end(),
                   [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
  // Rows: each starts with the highest control not yet in a row.
  std::vector<std::pair<int, QWidget*>> rows;
  int row = -1;
  int rowTop = 0;
  for (QWidget* child : children) {
    if (row < 0 || child->y() - rowTop >= kRowTolerance) {
      ++row;
      rowTop = child->y();
    }
    rows.emplace_back(row, child);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second->x() < b.second->x();
  });
  for (const auto& [r, child] : rows) {
    // A view, edit or button keeps its inner parts to itself.
    if (child->focusPolicy() & Qt::TabFocus)
      out.push_back(child);
    else
      collectInReadingOrder(child, out);
  }
}

}  // namespace

void closeOnEscape(QWidget* window) { window->installEventFilter(new EscapeCloses(window)); }

void pressOnEnter(QWidget* window, QAbstractButton* button,
                  std::initializer_list<const QWidget*> except) {
  window->installEventFilter(new EnterPresses(window, button, except));
}

void setReadingTabOrder(QWidget* window) {
  std::vector<QWidget*> order;
  collectInReadingOrder(window, order);
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace tarvix
