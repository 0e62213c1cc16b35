#include "admin/TForm27.h"

#include <QAction>
#include <QMenu>

#include "admin/TForm28.h"
#include "app/Forms.h"
#include "store/NameLists.h"

namespace tarvix {

TForm27::TForm27(QWidget* parent)
    : TAdminListWindow({.objectName = "Form27",
                        .caption = "messages",
                        .file = kMessagesFile,
                        .columns = {{"messages via console", 0}},
                        .mayBeAbsent = true},
                       parent) {
  setMinimumSize(300, 200);
  resize(400, 250);
  deletemessage1 = PopupMenu1->addAction("delete message");
  deletemessage1->setObjectName("deletemessage1");
  newmessage1 = PopupMenu1->addAction("new message");
  newmessage1->setObjectName("newmessage1");
  connect(deletemessage1, &QAction::triggered, this, &TForm27::deletemessage1Click);
  connect(newmessage1, &QAction::triggered, this, &TForm27::newmessage1Click);
}

void TForm27::deletemessage1Click() { DeleteSelected(); }

void TForm27::newmessage1Click() { showWindow(forms().Form28); }

}  // namespace tarvix
