#pragma once
// Row items of the list views and their sort orders.
#include <QTreeWidgetItem>

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

// A row of the player, buddy and list windows' views; sorts by caption in the
// locale-aware text order.
class TextItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override;
};

}  // namespace tarvix
