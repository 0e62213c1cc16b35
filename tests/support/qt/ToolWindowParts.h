#pragma once
// The tool windows' controls as a user finds them: by their objectName, or
// by their place in a menu.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>

#include "support/qt/Parts.h"

namespace tarvix::test {

// The right-click menu's item whose objectName holds one of `words`.
inline QAction* menuItem(const QWidget* w, std::initializer_list<const char*> words) {
  for (QAction* a : partNamed<QMenu>(*w, "PopupMenu1")->actions())
    for (const char* word : words)
      if (a->objectName().contains(word)) return a;
  qFatal("no menu item like %s in %s", *words.begin(), qPrintable(w->objectName()));
}

// The list windows: Buddies, Clantags and the admin lists.
inline QTreeWidget* listView(const QWidget* w) { return partNamed<QTreeWidget>(*w, "ListView1"); }
inline QMenu* listMenu(const QWidget* w) { return partNamed<QMenu>(*w, "PopupMenu1"); }
// The admin list's status bar; nullptr when the window has none.
inline QStatusBar* statusBar(const QWidget* w) { return w->findChild<QStatusBar*>("StatusBar1"); }
inline QLabel* countPanel(const QWidget* w) { return partNamed<QLabel>(*w, "StatusPanel0"); }
inline QAction* loadAction(const QWidget* w) { return menuItem(w, {"load"}); }
inline QAction* deleteAction(const QWidget* w) { return menuItem(w, {"delete", "remove"}); }
inline QAction* newAction(const QWidget* w) { return menuItem(w, {"new"}); }

// Buddies and Clantags: the edit above the list, "+", and the menu's two items.
inline QLineEdit* newEntryEdit(const QWidget* w) {
  return partNamed<QLineEdit>(*w, "LabeledEdit1");
}
inline QLabel* newEntryLabel(const QWidget* w) {
  return partNamed<QLabel>(*w, "LabeledEdit1Label");
}
inline QPushButton* addButton(const QWidget* w) { return partNamed<QPushButton>(*w, "Button1"); }
inline QAction* deleteOneAction(const QWidget* w) { return listMenu(w)->actions().at(0); }
inline QAction* deleteAllAction(const QWidget* w) { return listMenu(w)->actions().at(1); }

// An admin list's add window: its edit fields, top to bottom.
inline QLineEdit* entryEdit(const QWidget* w, int index) {
  return w->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly).at(index);
}

// The search window.
inline QLineEdit* searchEdit(const QWidget* w) { return partNamed<QLineEdit>(*w, "Edit1"); }
inline QRadioButton* serverOption(const QWidget* w) {
  return partNamed<QRadioButton>(*w, "RadioButton1");
}
inline QRadioButton* mapOption(const QWidget* w) {
  return partNamed<QRadioButton>(*w, "RadioButton2");
}
inline QRadioButton* ipOption(const QWidget* w) {
  return partNamed<QRadioButton>(*w, "RadioButton3");
}
inline QPushButton* searchWindowButton(const QWidget* w) {
  return partNamed<QPushButton>(*w, "Button1");
}

}  // namespace tarvix::test
