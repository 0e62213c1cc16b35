#pragma once
// Draws a view column's colour codes ("^1Red^7Name") as colours, the codes
// hidden; the item's text, and so every search and file, keeps its bytes.
// A selected row is drawn in the highlight's text colour.
#include <QStyledItemDelegate>

namespace tarvix {

class ColourCodeDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The text as drawn: the runs of colourRuns() as (text, colour) pairs, the
// colour invalid where the view's own colour is used.
QList<QPair<QString, QColor>> colouredRuns(const QString& text);

}  // namespace tarvix
