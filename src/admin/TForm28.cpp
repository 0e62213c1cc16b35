#include "admin/TForm28.h"

#include <QLineEdit>

#include "admin/TForm27.h"
#include "app/Forms.h"
#include "components/QtText.h"
#include "store/NameLists.h"

namespace tarvix {

TForm28::TForm28(QWidget* parent) : TAddWindow("Form28", "add message", parent) {
  Edit1 = addEdit("Edit1", "");
  addButton("add message");
}

void TForm28::FormShow() {
  Edit1->clear();
  Edit1->setFocus();
}

void TForm28::Button1Click() {
  const std::string text = toBytes(Edit1->text());
  if (text.empty()) return;
  if (!Append(kMessagesFile, text)) return;
  hide();
  TAdminListWindow::Reshow(forms().Form27);
}

}  // namespace tarvix
