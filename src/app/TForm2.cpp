#include "app/TForm2.h"

#include "store/NameLists.h"

namespace tarvix {

namespace {

const TNameListTexts kBuddies{"Form2",
                              "Buddies",
                              kBuddiesFile,
                              "New Buddy:",
                              "Rightclick to delete selected buddy",
                              "delete this buddy",
                              "deletethisbuddy1",
                              "delete all buddys",
                              "deleteallbuddys1"};

}  // namespace

TForm2::TForm2(QWidget* parent) : TNameListWindow(kBuddies, false, parent) {
  // The buddy list is read once at program start as well as on every show.
  LoadList();
}

}  // namespace tarvix
