#include "lists/ControlTable.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include "components/LinkLabel.h"
#include "lists/LabeledEdit.h"
#include "lists/WebLink.h"
#include "lists/WindowStyle.h"

namespace tarvix {

namespace {

QWidget* make(QWidget* parent, const ControlRow& row) {
  const QRect& g = row.geometry;
  switch (row.kind) {
    case Control::Group:
      return new QGroupBox(row.caption, parent);
    case Control::CheckBox:
      return new QCheckBox(row.caption, parent);
    case Control::Label:
      return new QLabel(row.caption, parent);
    case Control::Slider:
      return new QSlider(Qt::Horizontal, parent);
    case Control::LabeledEdit:
      return makeLabeledEdit(parent, row.name, row.caption, g.x(), g.y(), g.width());
    case Control::Edit:
      return new QLineEdit(parent);
    case Control::Button:
      return makeButton(parent, row.name, row.caption, g);
    case Control::WebLink:
      return makeWebLink(parent, row.name);
    case Control::Tree:
      return new QTreeWidget(parent);
    case Control::Memo:
      return new QPlainTextEdit(parent);
  }
  return nullptr;
}

}  // namespace

void buildControls(QWidget* window, std::initializer_list<ControlRow> rows) {
  for (const ControlRow& row : rows) {
    QWidget* parent = row.parent ? window->findChild<QWidget*>(row.parent) : window;
    QWidget* w = make(parent, row);
    w->setObjectName(row.name);
    // A labeled edit placed itself and its caption; a hidden control has no
    // place.
    if (row.kind != Control::LabeledEdit && !row.geometry.isNull()) w->setGeometry(row.geometry);
    if (row.hint) w->setToolTip(row.hint);
  }
}

}  // namespace tarvix
