#include "admin/TForm21.h"

#include <QAction>
#include <QMenu>

#include "admin/TForm22.h"
#include "app/Forms.h"
#include "store/NameLists.h"

namespace tarvix {

TForm21::TForm21(QWidget* parent)
    : TAdminListWindow({.objectName = "Form21",
                        .caption = "Bans",
                        .file = kBansFile,
                        .columns = {{"Ban can be CLANTAG or NAME or IP", 0}},
                        .sorted = true,
                        .icon = ":/stop.png",
                        .statusBar = true},
                       parent) {
  resize(250, 300);
  addnewban1 = PopupMenu1->addAction("add new ban");
  addnewban1->setObjectName("addnewban1");
  removeban1 = PopupMenu1->addAction("remove ban");
  removeban1->setObjectName("removeban1");
  connect(addnewban1, &QAction::triggered, this, &TForm21::addnewban1Click);
  connect(removeban1, &QAction::triggered, this, &TForm21::removeban1Click);
}

void TForm21::addnewban1Click() {
  showWindow(forms().Form22);
}

void TForm21::removeban1Click() { DeleteSelected(); }

}  // namespace tarvix
