#include "admin/BanListWindow.h"

#include <QAction>
#include <QMenu>

#include "admin/AddBanWindow.h"
#include "app/Forms.h"
#include "store/NameLists.h"

namespace tarvix {

BanListWindow::BanListWindow(QWidget* parent)
    : AdminListWindow({.objectName = "Form21",
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
  connect(addnewban1, &QAction::triggered, this, &BanListWindow::addnewban1Click);
  connect(removeban1, &QAction::triggered, this, &BanListWindow::removeban1Click);
}

void BanListWindow::addnewban1Click() {
  showWindow(forms().Form22);
}

void BanListWindow::removeban1Click() { DeleteSelected(); }

}  // namespace tarvix
