#pragma once
// A window's fixed controls as data: what each is, its code name, the group
// box it sits in, its caption, pixel geometry and hint. The window's code
// then holds only what the controls do.
#include <QRect>
#include <QWidget>
#include <initializer_list>

namespace tarvix {

enum class Control {
  Group,
  CheckBox,
  Label,
  Slider,
  LabeledEdit,
  Edit,
  Button,
  WebLink,
  Tree,
  Memo
};

struct ControlRow {
  Control kind;
  const char* name;    // the objectName
  const char* parent;  // the group box's name; nullptr: the window
  const char* caption;
  QRect geometry;  // LabeledEdit: x, y and width of the caption, the edit below it
  const char* hint = nullptr;
};

// Creates the rows' controls on `window`, in order (which is the tab order).
void buildControls(QWidget* window, std::initializer_list<ControlRow> rows);

// A control that buildControls made.
template <typename T>
T* control(const QWidget* window, const char* name) {
  return window->findChild<T*>(name);
}

}  // namespace tarvix
