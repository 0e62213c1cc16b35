#pragma once
// "Clantag's": edits "clantags.txt".
#include "app/NameListWindow.h"

namespace tarvix {

class ClanTagsWindow : public NameListWindow {
  Q_OBJECT

 public:
  explicit ClanTagsWindow(QWidget* parent = nullptr);
};

}  // namespace tarvix
