#include "admin/TForm22.h"

#include <QLineEdit>

#include "admin/TForm21.h"
#include "app/Forms.h"
#include "components/QtText.h"
#include "store/NameLists.h"

namespace tarvix {

TForm22::TForm22(QWidget* parent) : TAddWindow("Form22", "add ban", parent) {
  Edit1 = addEdit("Edit1", "");
  addButton("add ban");
}

void TForm22::FormShow() { Edit1->setFocus(); }

void TForm22::Button1Click() {
  const std::string text = toBytes(Edit1->text());
  if (!text.empty() && !Append(kBansFile, text)) return;
  hide();
  TAdminListWindow::Reshow(forms().Form21);
}

}  // namespace tarvix
