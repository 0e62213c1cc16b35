#include "components/ViewItems.h"

#include "base/SortText.h"
#include "components/QtText.h"

namespace tarvix {

bool ServerItem::operator<(const QTreeWidgetItem& other) const {
  int column = treeWidget() ? treeWidget()->sortColumn() : 0;
  if (column < 0) column = 0;
  return compareSortText(toBytes(text(column)), toBytes(other.text(column))) < 0;
}

bool TextItem::operator<(const QTreeWidgetItem& other) const {
  int column = treeWidget() ? treeWidget()->sortColumn() : 0;
  if (column < 0) column = 0;
  return compareListText(toBytes(text(column)), toBytes(other.text(column))) < 0;
}

}  // namespace tarvix
