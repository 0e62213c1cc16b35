#pragma once
// "Buddies": edits "Buddys.txt".
#include "app/NameListWindow.h"

namespace tarvix {

class BuddiesWindow : public NameListWindow {
  Q_OBJECT

 public:
  explicit BuddiesWindow(const ScanState& scan, QWidget* parent = nullptr);

  // A player added from another window: the name is appended to the file
  // (every write of the buddy file goes through this window), then the
  // list is read again. A file error is shown and nothing more happens.
  void appendBuddy(const QString& name);

 signals:
  // appendBuddy() wrote the name; the list is reloaded right after.
  void buddyAppended();
};

}  // namespace tarvix
