#include "admin/AddMessageWindow.h"

#include <QLineEdit>

#include "admin/MessageListWindow.h"
#include "app/Forms.h"
#include "components/QtText.h"
#include "store/NameLists.h"

namespace tarvix {

AddMessageWindow::AddMessageWindow(QWidget* parent) : AddEntryWindow("Form28", "add message", parent) {
  Edit1 = addEdit("Edit1", "");
  addButton("add message");
}

void AddMessageWindow::FormShow() {
  Edit1->clear();
  Edit1->setFocus();
}

void AddMessageWindow::Button1Click() {
  const std::string text = toBytes(Edit1->text());
  if (text.empty()) return;
  if (!append(kMessagesFile, text)) return;
  hide();
  AdminListWindow::Reshow(forms().Form27);
}

}  // namespace tarvix
