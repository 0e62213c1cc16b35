#pragma once
// "Map change": the maps of "maps.txt" (display name and rcon name), sorted
// by display name; a chosen map is loaded by the admin console on its server.
#include <QString>
#include <string>

#include "admin/AdminListWindow.h"

namespace tarvix {

class MapChangeWindow : public AdminListWindow {
  Q_OBJECT

 public:
  explicit MapChangeWindow(QWidget* parent = nullptr);

  // True while a map change waits for the server.
  bool busy() const { return busy_; }

 public slots:
  // The console has finished the change asked for by mapChosen().
  void onMapChangeFinished();

 signals:
  // Load this map on the console's server (answered by onMapChangeFinished).
  void mapChosen(const std::string& displayName, const std::string& rconName);
  // The window is done: the console's command line takes the focus.
  void consoleFocusRequested();
  // The window was hidden by the program.
  void hidden();

 protected:
  // "load map" and a double-click on the list: after the confirmation, asks
  // for the selected map; the window closes once the change is done, or at
  // once when nothing is loaded. A second request while a change waits for
  // the server is ignored.
  void loadSelected() override;
  void hideEvent(QHideEvent* event) override;

 private:
  void finish();

  bool busy_ = false;
};

}  // namespace tarvix
