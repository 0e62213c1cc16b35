#include "app/NameListWindow.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/ViewItems.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "components/Placement.h"

namespace tarvix {

NameListWindow::NameListWindow(const NameListTexts& texts, bool iconView, QWidget* parent)
    : QWidget(parent), texts_(texts) {
  setObjectName(texts.objectName);
  setWindowTitle(texts.caption);
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  resize(200, 308);
  setMinimumSize(200, 300);
  setMaximumSize(400, 800);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->setSpacing(3);

  QPalette silver = palette();
  silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));

  LabeledEdit1Label = new QLabel(texts.editLabel, this);
  LabeledEdit1Label->setObjectName("LabeledEdit1Label");
  LabeledEdit1 = new QLineEdit(this);
  LabeledEdit1->setObjectName("LabeledEdit1");
  LabeledEdit1->setPalette(silver);
  LabeledEdit1->setFrame(false);
  LabeledEdit1Label->setBuddy(LabeledEdit1);
  LabeledEdit1->installEventFilter(this);
  layout->addWidget(LabeledEdit1Label);
  layout->addWidget(LabeledEdit1);

  Button1 = new QPushButton("+", this);
  Button1->setObjectName("Button1");
  QFont bold = Button1->font();
  bold.setBold(true);
  Button1->setFont(bold);
  layout->addWidget(Button1);

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setColumnCount(1);
  ListView1->setHeaderHidden(true);
  ListView1->setRootIsDecorated(false);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setFrameShape(QFrame::Panel);
  ListView1->setFrameShadow(QFrame::Plain);
  ListView1->setPalette(silver);
  ListView1->setSortingEnabled(true);
  ListView1->sortByColumn(0, Qt::AscendingOrder);
  ListView1->setIconSize(iconView ? QSize(16, 16) : QSize(12, 12));
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  if (texts.hint) ListView1->setToolTip(texts.hint);
  layout->addWidget(ListView1, 1);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  layout->addWidget(StatusBar1);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  DeleteOne = PopupMenu1->addAction(texts.deleteOne);
  DeleteOne->setObjectName(texts.deleteOneName);
  DeleteAll = PopupMenu1->addAction(texts.deleteAll);
  DeleteAll->setObjectName(texts.deleteAllName);

  connect(Button1, &QPushButton::clicked, this, &NameListWindow::Button1Click);
  connect(DeleteOne, &QAction::triggered, this, &NameListWindow::DeleteOneClick);
  connect(DeleteAll, &QAction::triggered, this, &NameListWindow::DeleteAllClick);
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PopupMenu1->popup(ListView1->viewport()->mapToGlobal(p));
  });
}

void NameListWindow::addEntry(const std::string& text) {
  auto* item = new TextItem(QStringList{toQString(text)});
  item->setIcon(0, QIcon(":/buddy16.png"));
  ListView1->addTopLevelItem(item);
}

std::vector<std::string> NameListWindow::Entries() const {
  std::vector<std::string> entries;
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
    entries.push_back(toBytes(ListView1->topLevelItem(i)->text(0)));
  return entries;
}

void NameListWindow::LoadList() {
  ListView1->clear();
  std::vector<std::string> lines;
  try {
    lines = readNameList(texts_.file);
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  for (const std::string& line : lines) addEntry(line);
}

bool NameListWindow::rewriteFile() {
  try {
    rewriteExistingNameList(texts_.file, Entries());
    return true;
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return false;
  }
}

void NameListWindow::Button1Click() {
  const QString text = LabeledEdit1->text();
  if (!text.isEmpty()) addEntry(toBytes(text));
  ListView1->setFocus();
  if (!rewriteFile()) return;
  LabeledEdit1->clear();
}

void NameListWindow::DeleteOneClick() {
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  if (!selected.isEmpty()) {
    // The view would select the next entry; a deletion leaves none selected,
    // so a second "delete" cannot remove an entry the user did not choose.
    ListView1->clearSelection();
    ListView1->setCurrentItem(nullptr);
    delete selected.first();
    ListView1->clearSelection();
    ListView1->sortItems(0, Qt::AscendingOrder);
  }
  rewriteFile();
}

void NameListWindow::DeleteAllClick() {
  const MainWindow* main = forms().Form1;
  if (!(main && main->Scanning) && dialogs().confirm("sure to delete complete list ?")) {
    ListView1->clear();
    try {
      emptyNameList(texts_.file);
    } catch (const FileError& e) {
      dialogs().showError(toQString(e.what()));
    }
  }
  LabeledEdit1->setFocus();
}

void NameListWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    centreOnDesktop(this);
  }
  LoadList();
}

bool NameListWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabeledEdit1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (!LabeledEdit1->text().isEmpty()) Button1Click();
        LabeledEdit1->setFocus();
        return true;
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
        // The focus stays in the edit after any key.
        return true;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarvix
