#pragma once
// The small "add" windows of the admin lists: edit fields and one button,
// sized to their controls; the button appends to the list file, hides the
// window and asks for the list window to be reloaded. Each is configured by
// an AddEntrySpec (see AdminLists.h for the program's four).
#include <QWidget>
#include <string>
#include <vector>

class QLineEdit;

namespace tarvix {

struct AddEntryField {
  const char* objectName;
  const char* label;  // above the edit; "" for none
};

struct AddEntrySpec {
  const char* objectName;  // "Form22"
  const char* caption;
  const char* file;  // list file the entry is appended to
  // One field: one line. Two fields: a map's display and rcon name, appended
  // as a pair.
  std::vector<AddEntryField> fields;
  const char* button;
  bool clearOnShow = false;  // every show empties the fields
  // An empty field still hides the window and reloads the list, writing
  // nothing; otherwise an empty field does nothing.
  bool emptyClosesToo = false;
  // An empty field puts the focus on the first field.
  bool focusFirstWhenIncomplete = false;
};

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
