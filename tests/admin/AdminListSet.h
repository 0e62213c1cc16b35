#pragma once
// The eight admin list windows, created as the program creates them and
// registered in forms() for one test.
#include <QStringList>
#include <QTreeWidget>

#include "admin/TForm19.h"
#include "admin/TForm20.h"
#include "admin/TForm21.h"
#include "admin/TForm22.h"
#include "admin/TForm23.h"
#include "admin/TForm24.h"
#include "admin/TForm27.h"
#include "admin/TForm28.h"
#include "app/Forms.h"

namespace tarvix::test {

struct AdminListSet {
  AdminListSet() {
    TForms& f = forms();
    f.Form19 = maps = new TForm19();
    f.Form20 = addMap = new TForm20();
    f.Form21 = bans = new TForm21();
    f.Form22 = addBan = new TForm22();
    f.Form23 = skins = new TForm23();
    f.Form24 = addSkin = new TForm24();
    f.Form27 = messages = new TForm27();
    f.Form28 = addMessage = new TForm28();
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
    TForms& f = forms();
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

  TForm19* maps;
  TForm20* addMap;
  TForm21* bans;
  TForm22* addBan;
  TForm23* skins;
  TForm24* addSkin;
  TForm27* messages;
  TForm28* addMessage;
};

// Column `column` of every row, in display order.
inline QStringList column(const TAdminListWindow& w, int column = 0) {
  QStringList out;
  for (int i = 0; i < w.ListView1->topLevelItemCount(); ++i)
    out << w.ListView1->topLevelItem(i)->text(column);
  return out;
}

inline void selectRow(TAdminListWindow& w, int row) {
  w.ListView1->setCurrentItem(w.ListView1->topLevelItem(row));
}

}  // namespace tarvix::test
