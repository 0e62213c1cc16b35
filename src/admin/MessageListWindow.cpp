#include "admin/MessageListWindow.h"

#include <QAction>
#include <QMenu>

#include "admin/AddMessageWindow.h"
#include "app/Forms.h"
#include "store/NameLists.h"

namespace tarvix {

MessageListWindow::MessageListWindow(QWidget* parent)
    : AdminListWindow({.objectName = "Form27",
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
  connect(deletemessage1, &QAction::triggered, this, &MessageListWindow::deletemessage1Click);
  connect(newmessage1, &QAction::triggered, this, &MessageListWindow::newmessage1Click);
}

void MessageListWindow::deletemessage1Click() { DeleteSelected(); }

void MessageListWindow::newmessage1Click() { showWindow(forms().Form28); }

}  // namespace tarvix
