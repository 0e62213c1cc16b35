#pragma once
// "Clantag's": edits "clantags.txt".
#include "app/NameListWindow.h"

namespace tarvix {

class ClanTagsWindow : public NameListWindow {
  Q_OBJECT

 public:
  explicit ClanTagsWindow(const ScanState& scan, QWidget* parent = nullptr);
};

}  // namespace tarvix
