#include "admin/TForm24.h"

#include <QLineEdit>

#include "admin/TForm23.h"
#include "app/Forms.h"
#include "components/QtText.h"
#include "store/NameLists.h"

namespace tarvix {

TForm24::TForm24(QWidget* parent) : TAddWindow("Form24", "add skin", parent) {
  Edit1 = addEdit("Edit1", "");
  addButton("add");
}

void TForm24::FormShow() { Edit1->setFocus(); }

void TForm24::Button1Click() {
  const std::string text = toBytes(Edit1->text());
  if (text.empty()) return;
  if (!Append(kSkinsFile, text)) return;
  hide();
  TAdminListWindow::Reshow(forms().Form23);
}

}  // namespace tarvix
