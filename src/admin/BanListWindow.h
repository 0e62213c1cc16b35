#pragma once
// "Bans": the lines of "bans.txt", sorted by text.
#include "admin/AdminListWindow.h"

class QAction;

namespace tarvix {

class BanListWindow : public AdminListWindow {
  Q_OBJECT

 public:
  explicit BanListWindow(QWidget* parent = nullptr);

  QAction* addnewban1 = nullptr;
  QAction* removeban1 = nullptr;

  // "add new ban": shows "add ban".
  void addnewban1Click();
  // "remove ban": removes the selected ban and rewrites the file.
  void removeban1Click();
};

}  // namespace tarvix
