#pragma once
// A view whose last column takes the room the view gains.
class QTreeWidget;

namespace tarvix {

// Whenever `view` is wider than `firstWidth`, its last column is as much
// wider than the width it had when it became the last; at `firstWidth` or
// narrower every column keeps its own. A column added or removed later makes
// the new last column the one that grows.
void growLastColumn(QTreeWidget* view, int firstWidth);

}  // namespace tarvix
