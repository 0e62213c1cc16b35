#include "app/EmptyListHint.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QLabel>
#include <QTreeWidget>

namespace tarvix {

namespace {

// Shows the label while the view has no rows and keeps it the viewport's size.
class HintFollower : public QObject {
 public:
  HintFollower(QTreeWidget* view, QLabel* label) : QObject(label), view_(view), label_(label) {
    QAbstractItemModel* rows = view->model();
    for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
      connect(rows, change, this, [this] { update(); });
    connect(rows, &QAbstractItemModel::modelReset, this, [this] { update(); });
    view->viewport()->installEventFilter(this);
    update();
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) update();
    return false;
  }

 private:
  void update() {
    label_->setGeometry(view_->viewport()->rect().adjusted(12, 12, -12, -12));
    label_->setVisible(view_->topLevelItemCount() == 0);
  }

  QTreeWidget* view_;
  QLabel* label_;
};

}  // namespace

void attachEmptyListHint(QTreeWidget* view) {
  auto* label = new QLabel(QString::fromLatin1(kEmptyListHint), view->viewport());
  label->setObjectName("EmptyListHint");
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignCenter);
  // Clicks go through to the view, so its context menu opens on the hint too.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  new HintFollower(view, label);
}

}  // namespace tarvix
