#pragma once
// The eight admin list windows, created as the program creates them and
// registered in forms() for one test.
#include <QStringList>
#include <QTreeWidget>

#include "admin/MapChangeWindow.h"
#include "admin/AddMapWindow.h"
#include "admin/BanListWindow.h"
#include "admin/AddBanWindow.h"
#include "admin/SkinListWindow.h"
#include "admin/AddSkinWindow.h"
#include "admin/MessageListWindow.h"
#include "admin/AddMessageWindow.h"
#include "app/Forms.h"

namespace tarvix::test {

struct AdminListSet {
  AdminListSet() {
    ProgramWindows& f = forms();
    f.Form19 = maps = new MapChangeWindow();
    f.Form20 = addMap = new AddMapWindow();
    f.Form21 = bans = new BanListWindow();
    f.Form22 = addBan = new AddBanWindow();
    f.Form23 = skins = new SkinListWindow();
    f.Form24 = addSkin = new AddSkinWindow();
    f.Form27 = messages = new MessageListWindow();
    f.Form28 = addMessage = new AddMessageWindow();
  }
  ~AdminListSet() {
    delete addMessage;
    delete messages;
    delete addSkin;
    delete skins;
    delete addBan;
    delete bans;
    delete addMap;
    delete maps;
    ProgramWindows& f = forms();
    f.Form19 = nullptr;
    f.Form20 = nullptr;
    f.Form21 = nullptr;
    f.Form22 = nullptr;
    f.Form23 = nullptr;
    f.Form24 = nullptr;
    f.Form27 = nullptr;
    f.Form28 = nullptr;
  }
  AdminListSet(const AdminListSet&) = delete;
  AdminListSet& operator=(const AdminListSet&) = delete;

  MapChangeWindow* maps;
  AddMapWindow* addMap;
  BanListWindow* bans;
  AddBanWindow* addBan;
  SkinListWindow* skins;
  AddSkinWindow* addSkin;
  MessageListWindow* messages;
  AddMessageWindow* addMessage;
};

// Column `column` of every row, in display order.
inline QStringList column(const AdminListWindow& w, int column = 0) {
  QStringList out;
  for (int i = 0; i < w.ListView1->topLevelItemCount(); ++i)
    out << w.ListView1->topLevelItem(i)->text(column);
  return out;
}

inline void selectRow(AdminListWindow& w, int row) {
  w.ListView1->setCurrentItem(w.ListView1->topLevelItem(row));
}

}  // namespace tarvix::test
