#include "admin/AddBanWindow.h"

#include <QLineEdit>

#include "admin/BanListWindow.h"
#include "app/Forms.h"
#include "components/QtText.h"
#include "store/NameLists.h"

namespace tarvix {

AddBanWindow::AddBanWindow(QWidget* parent) : AddEntryWindow("Form22", "add ban", parent) {
  Edit1 = addEdit("Edit1", "");
  addButton("add ban");
}

void AddBanWindow::FormShow() { Edit1->setFocus(); }

void AddBanWindow::Button1Click() {
  const std::string text = toBytes(Edit1->text());
  if (!text.empty() && !append(kBansFile, text)) return;
  hide();
  AdminListWindow::Reshow(forms().Form21);
}

}  // namespace tarvix
