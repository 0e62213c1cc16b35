#pragma once
// Row items of the list views and their sort orders.
#include <QTreeWidgetItem>
#include <string>
#include <string_view>

namespace tarvix {

// A row of the server view; sorts by the byte comparison of its column text,
// or by the opt-in numeric orders its view was given.
class ServerItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override;
};

// Opt-in orders of a server view: column 0 ("Player") by player count, then
// maximum, and `numberColumn` (-1: none) by value. Either way the rows without
// a number (no answer) stay below the others in both directions, which
// ServerItem reads from the header's sort indicator.
void setNumericOrders(QTreeWidget* view, bool numericPlayers, int numberColumn);

// The bytes a server row's text is sorted by.
std::string serverSortBytes(const QString& text);
// Whether a row whose `column` sorts by the bytes `a` goes before one whose
// sorts by `b`, in `view`'s ascending order (the compare of ServerItem).
bool serverSortsBefore(const QTreeWidget* view, int column, std::string_view a, std::string_view b);

// A row of the player, buddy and list windows' views; sorts by caption in the
// locale-aware text order.
class TextItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override;
};

}  // namespace tarvix
