#include "components/LastColumnGrowth.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>

namespace tarvix {

namespace {

class LastColumnGrowth : public QObject {
 public:
  LastColumnGrowth(QTreeWidget* view, int firstWidth)
      : QObject(view), view_(view), firstWidth_(firstWidth) {
    view->installEventFilter(this);
    // Once the columns are set up: a new column gets its width after it is added.
    connect(view->header(), &QHeaderView::sectionCountChanged, this, &LastColumnGrowth::apply,
            Qt::QueuedConnection);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) apply();
    return false;
  }

 private:
  void apply() {
    const int last = view_->columnCount() - 1;
    if (last < 0) return;
    if (last != lastColumn_) {
      // The column that grew gives the room back to the new last one.
      if (lastColumn_ >= 0 && lastColumn_ < last) view_->setColumnWidth(lastColumn_, base_);
      lastColumn_ = last;
      base_ = view_->columnWidth(last);
    }
    view_->setColumnWidth(last, base_ + std::max(0, view_->width() - firstWidth_));
  }

  QTreeWidget* view_;
  int firstWidth_;
  int lastColumn_ = -1;
  int base_ = 0;
};

}  // namespace

void growLastColumn(QTreeWidget* view, int firstWidth) { new LastColumnGrowth(view, firstWidth); }

}  // namespace tarvix
