#pragma once
// "Buddies": edits "Buddys.txt".
#include "app/TNameListWindow.h"

namespace tarvix {

class TForm2 : public TNameListWindow {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace tarvix
