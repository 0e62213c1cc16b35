#pragma once
// Double-clicks anywhere in a view (on a row or on its empty area), as the
// view's own double-click event; the handler runs after the click's event
// has been handled, so it may open boxes or wait.
#include <functional>

class QAbstractItemView;

namespace tarvix {

void onDoubleClick(QAbstractItemView* view, std::function<void()> handler);

}  // namespace tarvix
