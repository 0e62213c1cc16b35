#pragma once
// Row items of the list views and their sort orders.
#include <QTreeWidgetItem>

namespace tarvix {

// A row of the server view; sorts by the byte comparison of its column text.
class ServerItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override;
};

// A row of the player, buddy and list windows' views; sorts by caption in the
// locale-aware text order.
class TextItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override;
};

}  // namespace tarvix
