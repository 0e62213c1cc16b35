#pragma once
// An edit field with its caption above it; the caption label is named after
// the field with "Label" appended.
#include <QLabel>
#include <QLineEdit>

namespace tarvix {

inline QLineEdit* makeLabeledEdit(QWidget* parent, const char* name, const QString& caption, int x,
                                  int y, int width) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString(name) + "Label");
  label->setGeometry(x, y, width, 14);
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y + 14, width, 21);
  label->setBuddy(edit);
  return edit;
}

inline QLabel* labelOf(const QWidget* window, const QLineEdit* edit) {
  return window->findChild<QLabel*>(edit->objectName() + "Label");
}

}  // namespace tarvix
