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
std::string_view textBytes(const QString& text, std::string& buffer) {
  buffer.resize(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    buffer[static_cast<std::size_t>(i)] = u < 256 ? static_cast<char>(u) : '?';
  }
  return buffer;
}

std::string_view bytesOf(const QTreeWidgetItem& item, int column, std::string& buffer) {
  return textBytes(item.text(column), buffer);
}

int sortColumnOf(const QTreeWidgetItem& item) {
  const int column = item.treeWidget() ? item.treeWidget()->sortColumn() : 0;
  return column < 0 ? 0 : column;
}

thread_local std::string left;
thread_local std::string right;

// The orders are kept on the view's header item, where a compare reads them
// without the name look-ups of a property: a sort makes thousands of compares.
constexpr int kNumericPlayersRole = Qt::UserRole + 10;
constexpr int kNumberColumnRole = Qt::UserRole + 11;

bool hasNumber(std::string_view text, bool playerColumn) {
  return playerColumn ? isAnsweredCaption(text) : compareNumberTexts(text, "") < 0;
}

}  // namespace

void setNumericOrders(QTreeWidget* view, bool numericPlayers, int numberColumn) {
  view->headerItem()->setData(0, kNumericPlayersRole, numericPlayers);
  view->headerItem()->setData(0, kNumberColumnRole, numberColumn);
}

std::string serverSortBytes(const QString& text) {
  std::string bytes;
  textBytes(text, bytes);
  return bytes;
}

bool ServerItem::operator<(const QTreeWidgetItem& other) const {
  const int column = sortColumnOf(*this);
  return serverSortsBefore(treeWidget(), column, bytesOf(*this, column, left),
                           bytesOf(other, column, right));
}

bool serverSortsBefore(const QTreeWidget* view, int column, std::string_view a,
                       std::string_view b) {
  const QTreeWidgetItem* header = view ? view->headerItem() : nullptr;
  const QVariant numberColumn = header ? header->data(0, kNumberColumnRole) : QVariant();
  const bool players = column == 0 && header && header->data(0, kNumericPlayersRole).toBool();
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
