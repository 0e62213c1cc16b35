#include "app/BuddiesWindow.h"

#include "components/QtText.h"
#include "store/NameLists.h"

namespace tarvix {

namespace {

const NameListTexts kBuddies{"Form2",
                             "Buddies",
                             kBuddiesFile,
                             "New Buddy:",
                             "Rightclick to delete selected buddy",
                             "delete this buddy",
                             "deletethisbuddy1",
                             "delete all buddys",
                             "deleteallbuddys1"};

}  // namespace

BuddiesWindow::BuddiesWindow(const ScanState& scan, QWidget* parent)
    : NameListWindow(kBuddies, false, scan, parent) {
  // The buddy list is read once at program start as well as on every show.
  loadList();
}

void BuddiesWindow::appendBuddy(const QString& name) {
  if (!appendToFile(toBytes(name))) return;
  emit buddyAppended();
  loadList();
}

}  // namespace tarvix
