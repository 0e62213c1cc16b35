#pragma once
// "add ban": appends one line to "bans.txt".
#include "admin/AddEntryWindow.h"

namespace tarvix {

class AddBanWindow : public AddEntryWindow {
  Q_OBJECT

 public:
  explicit AddBanWindow(QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;

  // "add ban": appends the text unless it is empty; in either case the
  // window hides and "Bans" is shown again.
  void Button1Click() override;

 protected:
  void FormShow() override;
};

}  // namespace tarvix
