#include "admin/AddMapWindow.h"

#include <QLineEdit>

#include "admin/MapChangeWindow.h"
#include "app/Forms.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

AddMapWindow::AddMapWindow(QWidget* parent) : AddEntryWindow("Form20", "add map", parent) {
  LabeledEdit1 = addEdit("LabeledEdit1", "map name");
  LabeledEdit2 = addEdit("LabeledEdit2", "rcon name");
  addButton("add map");
}

void AddMapWindow::FormShow() {
  LabeledEdit1->clear();
  LabeledEdit2->clear();
  LabeledEdit1->setFocus();
}

void AddMapWindow::Button1Click() {
  const std::string display = toBytes(LabeledEdit1->text());
  const std::string rcon = toBytes(LabeledEdit2->text());
  if (display.empty() || rcon.empty()) {
    LabeledEdit1->setFocus();
    return;
  }
  try {
    appendMap({display, rcon});
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  hide();
  AdminListWindow::Reshow(forms().Form19);
}

}  // namespace tarvix
