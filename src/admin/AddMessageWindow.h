#pragma once
// "add message": appends one line to "messages.txt".
#include "admin/AddEntryWindow.h"

namespace tarvix {

class AddMessageWindow : public AddEntryWindow {
  Q_OBJECT

 public:
  explicit AddMessageWindow(QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;

  // "add message": appends the text, hides and shows "messages" again; an
  // empty field does nothing.
  void Button1Click() override;

 protected:
  void FormShow() override;
};

}  // namespace tarvix
