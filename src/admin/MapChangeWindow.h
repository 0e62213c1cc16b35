#pragma once
// "Map change": the maps of "maps.txt" (display name and rcon name), sorted
// by display name; loads a map on the admin console's server.
#include <string>

#include "admin/AdminListWindow.h"

class QAction;

namespace tarvix {

class MapChangeWindow : public AdminListWindow {
  Q_OBJECT

 public:
  explicit MapChangeWindow(QWidget* parent = nullptr);

  QAction* loadmap1 = nullptr;
  QAction* deletemap1 = nullptr;
  QAction* newmap1 = nullptr;

  // "load map" and a double-click on the list: after the confirmation,
  // announces the selected map and changes to it on the console's server;
  // then focuses the console's command line and hides the window.
  void loadmap1Click();
  // "delete map": removes the selected map and rewrites the file.
  void deletemap1Click();
  // "new map": shows "add map".
  void newmap1Click();

  // True while a map change waits for the server.
  bool Busy() const { return busy_; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void ChangeMap(const std::string& displayName, const std::string& rconName);

  bool busy_ = false;
};

}  // namespace tarvix
