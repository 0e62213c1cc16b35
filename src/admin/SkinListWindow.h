#pragma once
// "Skins": the forbidden skins of "skins.txt", sorted by text, with their
// count in the status bar.
#include "admin/AdminListWindow.h"

class QAction;
class QLabel;

namespace tarvix {

class SkinListWindow : public AdminListWindow {
  Q_OBJECT

 public:
  explicit SkinListWindow(QWidget* parent = nullptr);

  QAction* deleteskin1 = nullptr;
  QAction* newskin1 = nullptr;
  // The status bar's one panel: "<count> skins in list".
  QLabel* StatusPanel0 = nullptr;

  // "delete skin": removes the selected skin, rewrites the file and shows
  // the window again so the count is refreshed.
  void deleteskin1Click();
  // "new skin": shows "add skin".
  void newskin1Click();

 protected:
  void ListLoaded() override;
};

}  // namespace tarvix
