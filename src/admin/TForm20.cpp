#include "admin/TForm20.h"

#include <QLineEdit>

#include "admin/TForm19.h"
#include "app/Forms.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

TForm20::TForm20(QWidget* parent) : TAddWindow("Form20", "add map", parent) {
  LabeledEdit1 = addEdit("LabeledEdit1", "map name");
  LabeledEdit2 = addEdit("LabeledEdit2", "rcon name");
  addButton("add map");
}

void TForm20::FormShow() {
  LabeledEdit1->clear();
  LabeledEdit2->clear();
  LabeledEdit1->setFocus();
}

void TForm20::Button1Click() {
  const std::string display = toBytes(LabeledEdit1->text());
  const std::string rcon = toBytes(LabeledEdit2->text());
  if (display.empty() || rcon.empty()) {
    LabeledEdit1->setFocus();
    return;
  }
  try {
    AppendMap({display, rcon});
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  hide();
  TAdminListWindow::Reshow(forms().Form19);
}

}  // namespace tarvix
