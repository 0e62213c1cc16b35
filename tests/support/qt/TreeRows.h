#pragma once
// Reading and selecting the rows of a report view in tests.
#include <QStringList>
#include <QTreeWidget>

namespace tarvix::test {

// Column `column` of every row, in display order.
inline QStringList columnTexts(const QTreeWidget* view, int column = 0) {
  QStringList out;
  for (int i = 0; i < view->topLevelItemCount(); ++i) out << view->topLevelItem(i)->text(column);
  return out;
}

inline void selectRow(QTreeWidget* view, int row) { view->setCurrentItem(view->topLevelItem(row)); }

}  // namespace tarvix::test
