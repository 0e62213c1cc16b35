#include "app/BuddiesWindow.h"

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

BuddiesWindow::BuddiesWindow(QWidget* parent) : NameListWindow(kBuddies, false, parent) {
  // The buddy list is read once at program start as well as on every show.
  LoadList();
}

}  // namespace tarvix
