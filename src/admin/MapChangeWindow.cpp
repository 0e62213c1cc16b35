#include "admin/MapChangeWindow.h"

#include <QHideEvent>

#include "admin/AdminLists.h"
#include "components/Dialogs.h"

namespace tarvix {

MapChangeWindow::MapChangeWindow(QWidget* parent) : AdminListWindow(mapListSpec(), parent) {
  loadOnDoubleClick();
}

void MapChangeWindow::loadSelected() {
  if (busy_) return;
  const std::vector<std::string> selected = selectedRow();
  if (!selected.empty() && dialogs().confirm(this, "sure to change the map ?")) {
    busy_ = true;
    emit mapChosen(selected[0], selected[1]);
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
