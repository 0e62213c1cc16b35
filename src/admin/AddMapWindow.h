#pragma once
// "add map": appends a display name and an rcon name to "maps.txt".
#include "admin/AddEntryWindow.h"

namespace tarvix {

class AddMapWindow : public AddEntryWindow {
  Q_OBJECT

 public:
  explicit AddMapWindow(QWidget* parent = nullptr);

  QLineEdit* LabeledEdit1 = nullptr;  // map name
  QLineEdit* LabeledEdit2 = nullptr;  // rcon name

  // "add map": with both fields filled, appends the pair, hides and shows
  // "Map change" again; otherwise the focus goes to "map name".
  void Button1Click() override;

 protected:
  void FormShow() override;
};

}  // namespace tarvix
