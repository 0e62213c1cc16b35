#include "admin/AddEntryWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "components/Placement.h"

namespace tarvix {

namespace {
constexpr int kMargin = 8;
constexpr int kWidth = 180;
}  // namespace

AddEntryWindow::AddEntryWindow(const char* objectName, const char* caption, QWidget* parent)
    : QWidget(parent) {
  setObjectName(objectName);
  setWindowTitle(caption);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                 Qt::MSWindowsFixedSizeDialogHint);
}

QLineEdit* AddEntryWindow::addEdit(const char* name, const char* label) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  if (label && *label) {
    auto* caption = new QLabel(label, this);
    caption->setObjectName(QString(name) + "Label");
    caption->setGeometry(kMargin, nextY_, kWidth, 14);
    caption->setBuddy(edit);
    nextY_ += 14;
  }
  edit->setGeometry(kMargin, nextY_, kWidth, 21);
  nextY_ += 21 + 6;
  return edit;
}

void AddEntryWindow::addButton(const char* caption) {
  Button1 = new QPushButton(caption, this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(kMargin, nextY_, kWidth, 25);
  nextY_ += 25 + kMargin;
  setFixedSize(kWidth + 2 * kMargin, nextY_);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

bool AddEntryWindow::append(std::string_view file, std::string_view value) {
  try {
    appendNameEntry(file, value);
    return true;
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return false;
  }
}

void AddEntryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    centreOnDesktop(this);
  }
  FormShow();
}

}  // namespace tarvix
