#include "components/ViewItems.h"

#include <QHeaderView>
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

constexpr const char* kNumericPlayersProperty = "tarvixNumericPlayers";
constexpr const char* kNumberColumnProperty = "tarvixNumberColumn";

bool hasNumber(std::string_view text, bool playerColumn) {
  return playerColumn ? isAnsweredCaption(text) : compareNumberTexts(text, "") < 0;
}

}  // namespace

void setNumericOrders(QTreeWidget* view, bool numericPlayers, int numberColumn) {
  view->setProperty(kNumericPlayersProperty, numericPlayers);
  view->setProperty(kNumberColumnProperty, numberColumn);
}

bool ServerItem::operator<(const QTreeWidgetItem& other) const {
  const int column = sortColumnOf(*this);
  const std::string_view a = bytesOf(*this, column, left), b = bytesOf(other, column, right);
  const QTreeWidget* view = treeWidget();
  const QVariant numberColumn = view ? view->property(kNumberColumnProperty) : QVariant();
  const bool players = column == 0 && view && view->property(kNumericPlayersProperty).toBool();
  if (!players && !(numberColumn.isValid() && numberColumn.toInt() == column))
    return compareSortText(a, b) < 0;
  const bool aNumber = hasNumber(a, players), bNumber = hasNumber(b, players);
  if (aNumber != bNumber) {
    // Qt sorts descending by the reverse of this order.
    const bool descending = view->header()->sortIndicatorOrder() == Qt::DescendingOrder;
    return aNumber != descending;
  }
  return (players ? comparePlayerCaptions(a, b) : compareNumberTexts(a, b)) < 0;
}

bool TextItem::operator<(const QTreeWidgetItem& other) const {
  const int column = sortColumnOf(*this);
  return compareListText(bytesOf(*this, column, left), bytesOf(other, column, right)) < 0;
}

}  // namespace tarvix
