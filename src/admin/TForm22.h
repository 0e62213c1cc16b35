#pragma once
// "add ban": appends one line to "bans.txt".
#include "admin/TAddWindow.h"

namespace tarvix {

class TForm22 : public TAddWindow {
  Q_OBJECT

 public:
  explicit TForm22(QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;

  // "add ban": appends the text unless it is empty; in either case the
  // window hides and "Bans" is shown again.
  void Button1Click() override;

 protected:
  void FormShow() override;
};

}  // namespace tarvix
