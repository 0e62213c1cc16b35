#include "admin/MapChangeWindow.h"

#include <QHideEvent>
#include <QTreeWidget>

#include "admin/AdminLists.h"
#include "components/Dialogs.h"
#include "components/DoubleClickFilter.h"
#include "components/QtText.h"

namespace tarvix {

MapChangeWindow::MapChangeWindow(QWidget* parent) : AdminListWindow(mapListSpec(), parent) {
  onDoubleClick(listView, [this] { loadSelected(); });
}

void MapChangeWindow::loadSelected() {
  if (busy_) return;
  const QList<QTreeWidgetItem*> selected = listView->selectedItems();
  if (!selected.isEmpty() && dialogs().confirm(this, "sure to change the map ?")) {
    busy_ = true;
    emit mapChosen(toBytes(selected.first()->text(0)), toBytes(selected.first()->text(1)));
    return;
  }
  finish();
}

void MapChangeWindow::onMapChangeFinished() {
  if (!busy_) return;
  busy_ = false;
  finish();
}

void MapChangeWindow::finish() {
  emit consoleFocusRequested();
  hide();
}

void MapChangeWindow::hideEvent(QHideEvent* event) {
  AdminListWindow::hideEvent(event);
  if (!event->spontaneous()) emit hidden();
}

}  // namespace tarvix
