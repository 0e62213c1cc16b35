#include "lists/SearchWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"
#include "base/Text.h"
#include "components/Placement.h"

namespace tarvix {

namespace {
constexpr int kMapColumn = 1;
constexpr int kHostColumn = 2;
}  // namespace

SearchWindow::SearchWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("Form6");
  setWindowTitle("search for server, map, ip");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setMinimumWidth(220);
  Edit1->installEventFilter(this);
  layout->addWidget(Edit1);

  auto* options = new QHBoxLayout();
  RadioButton1 = new QRadioButton("server", this);
  RadioButton1->setObjectName("RadioButton1");
  RadioButton2 = new QRadioButton("map", this);
  RadioButton2->setObjectName("RadioButton2");
  RadioButton3 = new QRadioButton("ip", this);
  RadioButton3->setObjectName("RadioButton3");
  Button1 = new QPushButton("search", this);
  Button1->setObjectName("Button1");
  options->addWidget(RadioButton1);
  options->addWidget(RadioButton2);
  options->addWidget(RadioButton3);
  options->addStretch(1);
  options->addWidget(Button1);
  layout->addLayout(options);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  for (QRadioButton* option : {RadioButton1, RadioButton2, RadioButton3})
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
      if (on) Edit1->setFocus();
    });
  connect(Button1, &QPushButton::clicked, this, &SearchWindow::Button1Click);
}

void SearchWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    adjustSize();
    centreOnDesktop(this);
  }
  Edit1->setFocus();
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Button1Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void SearchWindow::Button1Click() {
  if (RadioButton3->isChecked())
    addressSearch();
  else if (RadioButton2->isChecked())
    textSearch(kMapColumn);
  else if (RadioButton1->isChecked())
    textSearch(kHostColumn);
  else
    hide();
}

void SearchWindow::selectHit(QTreeWidgetItem* row) {
  QTreeWidget* view = row->treeWidget();
  // Always a fresh selection, so that the hit counts as the user's choice
  // even when it was selected already.
  view->clearSelection();
  view->setCurrentItem(row);
  view->scrollToItem(row);
  view->setFocus();
}

void SearchWindow::textSearch(int column) {
  hide();
  const std::string text = toBytes(Edit1->text());
  MainWindow* main = forms().Form1;
  if (text.empty() || !main) return;
  bool matched = false;
  // The row count is read again after every question: the view may change
  // while the question is open.
  for (int i = 0; i < main->serverRowCount(); ++i) {
    QTreeWidgetItem* row = main->serverRow(i);
    if (!row || !containsNoCase(toBytes(row->text(column)), text)) continue;
    matched = true;
    selectHit(row);
    if (!dialogs().confirm("search next ?")) break;
  }
  if (!matched) {
    dialogs().showMessage("no matches !");
    show();
    Edit1->setFocus();
  }
}

void SearchWindow::addressSearch() {
  hide();
  const std::string text = toBytes(Edit1->text());
  MainWindow* main = forms().Form1;
  if (text.empty() || !main) return;
  std::vector<ServerEntry> entries;
  try {
    entries = readServerEntries(main->settings().serverListPath());
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  const bool withPort = text.find(':') != std::string::npos;
  bool found = false;
  std::string name;
  for (const ServerEntry& entry : entries) {
    const std::string key = withPort ? entry.ip + ":" + entry.port : entry.ip;
    if (key == text) {
      name = entry.name;
      found = true;
    }
  }
  if (entries.empty() || entries.back().name.empty()) return;
  if (!found) {
    dialogs().showMessage("ip not found!");
    return;
  }
  const QString host = toQString(name);
  for (int i = 0; i < main->serverRowCount(); ++i) {
    QTreeWidgetItem* row = main->serverRow(i);
    if (row && row->text(kHostColumn) == host) selectHit(row);
  }
}

}  // namespace tarvix
