#pragma once
// The small "add" windows of the admin lists: edit fields and one button,
// sized to their controls; the button appends to the list file, hides the
// window and asks for the list window to be reloaded. Each is configured by
// an AddEntrySpec (see AdminLists.h for the program's four).
#include <QWidget>
#include <string>
#include <vector>

#include "admin/AddEntrySpec.h"

class QLineEdit;

namespace tarvix {

class AddEntryWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AddEntryWindow(const AddEntrySpec& spec, QWidget* parent = nullptr);

 public slots:
  // The button: appends the entry, then hides the window and emits
  // entryAdded(); a file error is shown and the window stays.
  void addEntry();

 signals:
  // The list file changed (or, for emptyClosesToo, may have): reload the list.
  void entryAdded();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* addEdit(const AddEntryField& field);
  // Appends the fields' texts; false after showing a file error.
  bool append(const std::vector<std::string>& values);

  AddEntrySpec spec_;
  std::vector<QLineEdit*> edits_;  // top to bottom
  int nextY_ = 8;
};

}  // namespace tarvix
