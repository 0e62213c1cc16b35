#pragma once
// "Bans": the lines of "bans.txt", sorted by text.
#include "admin/TAdminListWindow.h"

class QAction;

namespace tarvix {

class TForm21 : public TAdminListWindow {
  Q_OBJECT

 public:
  explicit TForm21(QWidget* parent = nullptr);

  QAction* addnewban1 = nullptr;
  QAction* removeban1 = nullptr;

  // "add new ban": shows "add ban".
  void addnewban1Click();
  // "remove ban": removes the selected ban and rewrites the file.
  void removeban1Click();
};

}  // namespace tarvix
