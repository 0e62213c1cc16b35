#include "admin/SkinListWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "admin/AddSkinWindow.h"
#include "app/Forms.h"
#include "store/NameLists.h"

namespace tarvix {

SkinListWindow::SkinListWindow(QWidget* parent)
    : AdminListWindow({.objectName = "Form23",
                        .caption = "Skins",
                        .file = kSkinsFile,
                        .columns = {{"skin", 220}},
                        .sorted = true,
                        .statusBar = true},
                       parent) {
  setFixedWidth(250);
  setMinimumHeight(100);
  resize(250, 300);
  StatusPanel0 = new QLabel(StatusBar1);
  StatusPanel0->setObjectName("StatusPanel0");
  StatusPanel0->setMinimumWidth(50);
  StatusBar1->addWidget(StatusPanel0, 1);
  deleteskin1 = PopupMenu1->addAction("delete skin");
  deleteskin1->setObjectName("deleteskin1");
  newskin1 = PopupMenu1->addAction("new skin");
  newskin1->setObjectName("newskin1");
  connect(deleteskin1, &QAction::triggered, this, &SkinListWindow::deleteskin1Click);
  connect(newskin1, &QAction::triggered, this, &SkinListWindow::newskin1Click);
}

void SkinListWindow::ListLoaded() {
  StatusPanel0->setText(QString::number(RowCount()) + " skins in list");
}

void SkinListWindow::deleteskin1Click() {
  if (DeleteSelected()) Reshow(this);
}

void SkinListWindow::newskin1Click() { showWindow(forms().Form24); }

}  // namespace tarvix
