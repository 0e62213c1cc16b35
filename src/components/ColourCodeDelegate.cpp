#include "components/ColourCodeDelegate.h"

#include <QApplication>
#include <QPainter>

#include "base/ColourCodes.h"
#include "components/QtText.h"

namespace tarvix {

QList<QPair<QString, QColor>> colouredRuns(const QString& text) {
  QList<QPair<QString, QColor>> runs;
  for (const ColourRun& run : colourRuns(toBytes(text))) {
    const std::int32_t rgb = colourRgb(run.colour);
    runs.append({toQString(run.text), rgb < 0 ? QColor() : QColor(QRgb(rgb))});
  }
  return runs;
}

void ColourCodeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString text = opt.text;
  opt.text.clear();
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  const QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget)
                         .adjusted(2, 0, -2, 0);  // the style's text margin
  const bool selected = opt.state & QStyle::State_Selected;
  const QColor plain = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  painter->save();
  painter->setClipRect(rect);
  painter->setFont(opt.font);
  const QFontMetrics metrics(opt.font);
  // A text wider than the column ends in an ellipsis, as the plain columns' do.
  const bool elide =
      metrics.horizontalAdvance(toQString(withoutColourCodes(toBytes(text)))) > rect.width();
  int x = rect.left();
  for (const auto& [run, colour] : colouredRuns(text)) {
    const int room = rect.right() + 1 - x;
    const QString piece = elide && metrics.horizontalAdvance(run) > room
                              ? metrics.elidedText(run, Qt::ElideRight, room)
                              : run;
    // A selected row is drawn in the highlight's own text colour: code colours
    // on the highlight are often unreadable.
    painter->setPen(colour.isValid() && !selected ? colour : plain);
    painter->drawText(QRect(x, rect.top(), room, rect.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece);
    x += metrics.horizontalAdvance(piece);
    if (piece != run) break;
  }
  painter->restore();
}

QSize ColourCodeDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  opt.text = toQString(withoutColourCodes(toBytes(opt.text)));
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  return style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), widget);
}

}  // namespace tarvix
