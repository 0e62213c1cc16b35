#pragma once
// "Buddies": edits "Buddys.txt".
#include "app/NameListWindow.h"

namespace tarvix {

class BuddiesWindow : public NameListWindow {
  Q_OBJECT

 public:
  explicit BuddiesWindow(QWidget* parent = nullptr);
};

}  // namespace tarvix
