#pragma once
// The small "add" windows of the admin lists: edit fields and one button,
// sized to their controls; the button appends to the list file and reloads
// the companion list window.
#include <QWidget>
#include <string_view>

class QLineEdit;
class QPushButton;

namespace tarvix {

class AddEntryWindow : public QWidget {
  Q_OBJECT

 public:
  AddEntryWindow(const char* objectName, const char* caption, QWidget* parent = nullptr);

  QPushButton* Button1 = nullptr;

  virtual void Button1Click() = 0;

 protected:
  // An edit with its label above it ("" for no label), stacked below the
  // controls made so far.
  QLineEdit* addEdit(const char* name, const char* label);
  // The button below the edits; sizes the window to its controls.
  void addButton(const char* caption);
  // Appends `value` to the list file; false after showing a file error.
  static bool append(std::string_view file, std::string_view value);
  // Runs on every non-spontaneous show.
  virtual void FormShow() = 0;

  void showEvent(QShowEvent* event) override;

 private:
  int nextY_ = 8;
  bool centred_ = false;
};

}  // namespace tarvix
