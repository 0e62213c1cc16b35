#pragma once
// "Clantag's": edits "clantags.txt".
#include "app/TNameListWindow.h"

namespace tarvix {

class TForm4 : public TNameListWindow {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace tarvix
