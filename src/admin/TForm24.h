#pragma once
// "add skin": appends one line to "skins.txt".
#include "admin/TAddWindow.h"

namespace tarvix {

class TForm24 : public TAddWindow {
  Q_OBJECT

 public:
  explicit TForm24(QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;

  // "add": appends the text, hides and shows "Skins" again; an empty field
  // does nothing.
  void Button1Click() override;

 protected:
  void FormShow() override;
};

}  // namespace tarvix
