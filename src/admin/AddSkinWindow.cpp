#include "admin/AddSkinWindow.h"

#include <QLineEdit>

#include "admin/SkinListWindow.h"
#include "app/Forms.h"
#include "components/QtText.h"
#include "store/NameLists.h"

namespace tarvix {

AddSkinWindow::AddSkinWindow(QWidget* parent) : AddEntryWindow("Form24", "add skin", parent) {
  Edit1 = addEdit("Edit1", "");
  addButton("add");
}

void AddSkinWindow::FormShow() { Edit1->setFocus(); }

void AddSkinWindow::Button1Click() {
  const std::string text = toBytes(Edit1->text());
  if (text.empty()) return;
  if (!append(kSkinsFile, text)) return;
  hide();
  AdminListWindow::Reshow(forms().Form23);
}

}  // namespace tarvix
