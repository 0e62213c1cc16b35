#pragma once
// "add skin": appends one line to "skins.txt".
#include "admin/AddEntryWindow.h"

namespace tarvix {

class AddSkinWindow : public AddEntryWindow {
  Q_OBJECT

 public:
  explicit AddSkinWindow(QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;

  // "add": appends the text, hides and shows "Skins" again; an empty field
  // does nothing.
  void Button1Click() override;

 protected:
  void FormShow() override;
};

}  // namespace tarvix
