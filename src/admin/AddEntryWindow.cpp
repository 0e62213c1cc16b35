#include "admin/AddEntryWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/WindowKeys.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

namespace {
constexpr int kMargin = 8;
constexpr int kWidth = 180;
}  // namespace

AddEntryWindow::AddEntryWindow(const AddEntrySpec& spec, QWidget* parent)
    : QWidget(parent), spec_(spec) {
  setObjectName(spec_.objectName);
  setWindowTitle(spec_.caption);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  for (const AddEntryField& field : spec_.fields) edits_.push_back(addEdit(field));

  auto* addButton = new QPushButton(spec_.button, this);
  addButton->setObjectName("Button1");
  addButton->setGeometry(kMargin, nextY_, kWidth, 25);
  nextY_ += 25 + kMargin;
  setFixedSize(kWidth + 2 * kMargin, nextY_);
  connect(addButton, &QPushButton::clicked, this, &AddEntryWindow::addEntry);
  pressOnEnter(this, addButton);
  centreOnFirstShow(this);
}

// An edit with its label above it, stacked below the controls made so far.
QLineEdit* AddEntryWindow::addEdit(const AddEntryField& field) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(field.objectName);
  acceptCodePageOnly({edit});
  if (*field.label) {
    auto* caption = new QLabel(field.label, this);
    caption->setObjectName(QString(field.objectName) + "Label");
    caption->setGeometry(kMargin, nextY_, kWidth, 14);
    caption->setBuddy(edit);
    nextY_ += 14;
  }
  edit->setGeometry(kMargin, nextY_, kWidth, 21);
  nextY_ += 21 + 6;
  return edit;
}

bool AddEntryWindow::append(const std::vector<std::string>& values) {
  try {
    if (values.size() == 2)
      appendMap({values[0], values[1]});
    else
      appendNameEntry(spec_.file, values[0]);
    return true;
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return false;
  }
}

void AddEntryWindow::addEntry() {
  std::vector<std::string> values;
  bool complete = true;
  for (QLineEdit* edit : edits_) {
    values.push_back(toBytes(edit->text()));
    complete = complete && !values.back().empty();
  }
  if (!complete && !spec_.emptyClosesToo) {
    if (spec_.focusFirstWhenIncomplete) edits_.front()->setFocus();
    return;
  }
  if (complete && !append(values)) return;
  hide();
  emit entryAdded();
}

void AddEntryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (spec_.clearOnShow)
    for (QLineEdit* edit : edits_) edit->clear();
  edits_.front()->setFocus();
}

}  // namespace tarvix
