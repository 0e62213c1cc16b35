#include "components/ViewItems.h"

#include <string>
#include <string_view>

#include "base/SortText.h"

namespace tarvix {

namespace {

// A column's text as the bytes toBytes() gives (Latin-1, '?' beyond it),
// written into a buffer kept for the next compare: sorting thousands of rows
// makes no allocation per compare.
std::string_view bytesOf(const QTreeWidgetItem& item, int column, std::string& buffer) {
  const QString text = item.text(column);
  buffer.resize(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    buffer[static_cast<std::size_t>(i)] = u < 256 ? static_cast<char>(u) : '?';
  }
  return buffer;
}

int sortColumnOf(const QTreeWidgetItem& item) {
  const int column = item.treeWidget() ? item.treeWidget()->sortColumn() : 0;
  return column < 0 ? 0 : column;
}

thread_local std::string left;
thread_local std::string right;

}  // namespace

bool ServerItem::operator<(const QTreeWidgetItem& other) const {
  const int column = sortColumnOf(*this);
  return compareSortText(bytesOf(*this, column, left), bytesOf(other, column, right)) < 0;
}

bool TextItem::operator<(const QTreeWidgetItem& other) const {
  const int column = sortColumnOf(*this);
  return compareListText(bytesOf(*this, column, left), bytesOf(other, column, right)) < 0;
}

}  // namespace tarvix
