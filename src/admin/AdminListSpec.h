#pragma once
// What one admin list window shows, from which file, and its menu.
#include <QSize>
#include <vector>

namespace tarvix {

struct AdminListColumn {
  const char* title;
  int width;  // 0: the column fills the view's width
};

// What an item of the list's right-click menu does.
enum class AdminListAction {
  Load,       // loadSelected(): the map change
  Delete,     // removes the selected row and rewrites the file
  New,        // asks for the add window (newEntryRequested)
  Separator,  // a separator, no item
};

struct AdminListMenuItem {
  AdminListAction action;
  const char* objectName = nullptr;
  const char* caption = nullptr;
};

struct AdminListSpec {
  const char* objectName;  // "Form21"
  const char* caption;     // window caption
  const char* file;        // list file of the data folder
  std::vector<AdminListColumn> columns;
  std::vector<AdminListMenuItem> menu;  // in menu order
  bool pairs = false;                   // two lines per row (display name, rcon name)
  bool sorted = false;                  // rows sorted by the first column's text
  bool mayBeAbsent = false;             // a missing file is an empty list
  const char* icon = nullptr;           // icon of every row, or none
  bool statusBar = false;               // a status bar below the list
  // With a status bar: one panel "<rows> <countText>" ("skins in list"), and
  // a deletion shows the window again so the count follows.
  const char* countText = nullptr;
  QSize size;  // the first size
  QSize minimumSize{0, 0};
  int maximumWidth = QWIDGETSIZE_MAX;
};

}  // namespace tarvix
