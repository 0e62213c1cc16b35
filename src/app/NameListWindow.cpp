#include "app/NameListWindow.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/CodePageValidator.h"
#include "components/Dialogs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/ViewItems.h"
#include "lists/ScanState.h"
#include "store/DataFile.h"
#include "store/NameListFile.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct NameListWindow::Ui {
  QLineEdit* newEntryEdit = nullptr;
  QTreeWidget* entryView = nullptr;
  QMenu* entryMenu = nullptr;
};

namespace {

// The label and the edit for a new entry, on the views' silver.
QLineEdit* addEntryEdit(QWidget* window, QVBoxLayout* layout, const QString& label,
                        const QPalette& silver) {
  auto* newEntryLabel = new QLabel(label, window);
  newEntryLabel->setObjectName("LabeledEdit1Label");
  auto* edit = new QLineEdit(window);
  edit->setObjectName("LabeledEdit1");
  edit->setPalette(silver);
  edit->setFrame(false);
  newEntryLabel->setBuddy(edit);
  acceptCodePageOnly({edit});
  layout->addWidget(newEntryLabel);
  layout->addWidget(edit);
  return edit;
}

// "+": adds the typed entry.
QPushButton* addPlusButton(QWidget* window, QVBoxLayout* layout) {
  auto* button = new QPushButton("+", window);
  button->setObjectName("Button1");
  QFont bold = button->font();
  bold.setBold(true);
  button->setFont(bold);
  layout->addWidget(button);
  return button;
}

// The entries, sorted, in the room left; buddies have the smaller icons.
QTreeWidget* addEntryView(QWidget* window, QVBoxLayout* layout, const QPalette& silver,
                          bool iconView, const char* hint) {
  auto* view = new QTreeWidget(window);
  view->setObjectName("ListView1");
  view->setColumnCount(1);
  view->setHeaderHidden(true);
  view->setRootIsDecorated(false);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setFrameShape(QFrame::Panel);
  view->setFrameShadow(QFrame::Plain);
  view->setPalette(silver);
  view->setSortingEnabled(true);
  view->sortByColumn(0, Qt::AscendingOrder);
  view->setIconSize(iconView ? QSize(16, 16) : QSize(12, 12));
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  if (hint) view->setToolTip(hint);
  layout->addWidget(view, 1);
  return view;
}

}  // namespace

NameListWindow::~NameListWindow() = default;

NameListWindow::NameListWindow(const NameListTexts& texts, bool iconView, const ScanState& scan,
                               QWidget* parent)
    : QWidget(parent), texts_(texts), file_(texts.file), scan_(scan) {
  ui_ = std::make_unique<Ui>();
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
  ui_->newEntryEdit = addEntryEdit(this, layout, texts.editLabel, silver);
  ui_->newEntryEdit->installEventFilter(this);
  QPushButton* addButton = addPlusButton(this, layout);
  ui_->entryView = addEntryView(this, layout, silver, iconView, texts.hint);
  auto* statusLine = new QStatusBar(this);
  statusLine->setObjectName("StatusBar1");
  layout->addWidget(statusLine);

  ui_->entryMenu = new QMenu(this);
  ui_->entryMenu->setObjectName("PopupMenu1");
  QAction* deleteOneAction = ui_->entryMenu->addAction(texts.deleteOne);
  deleteOneAction->setObjectName(texts.deleteOneName);
  QAction* deleteAllAction = ui_->entryMenu->addAction(texts.deleteAll);
  deleteAllAction->setObjectName(texts.deleteAllName);

  connect(addButton, &QPushButton::clicked, this, &NameListWindow::addTypedEntry);
  connect(deleteOneAction, &QAction::triggered, this, &NameListWindow::deleteSelectedEntry);
  connect(deleteAllAction, &QAction::triggered, this, &NameListWindow::deleteAllEntries);
  connect(ui_->entryView, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    ui_->entryMenu->popup(ui_->entryView->viewport()->mapToGlobal(p));
  });
  centreOnFirstShow(this);
}

void NameListWindow::addEntry(const std::string& text) {
  auto* item = new TextItem(QStringList{toQString(text)});
  item->setIcon(0, QIcon(":/buddy16.png"));
  ui_->entryView->addTopLevelItem(item);
}

std::vector<std::string> NameListWindow::entries() const {
  std::vector<std::string> entries;
  for (int i = 0; i < ui_->entryView->topLevelItemCount(); ++i)
    entries.push_back(toBytes(ui_->entryView->topLevelItem(i)->text(0)));
  return entries;
}

void NameListWindow::loadList() {
  ui_->entryView->clear();
  std::vector<std::string> lines;
  try {
    lines = file_.read();
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return;
  }
  for (const std::string& line : lines) addEntry(line);
}

bool NameListWindow::writeFile(const std::function<void(const NameListFile&)>& write) {
  try {
    write(file_);
    return true;
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
    return false;
  }
}

bool NameListWindow::rewriteFile() {
  return writeFile([this](const NameListFile& file) { file.replace(entries()); });
}

bool NameListWindow::appendToFile(const std::string& text) {
  return writeFile([&text](const NameListFile& file) { file.add(text); });
}

void NameListWindow::addTypedEntry() {
  const QString text = ui_->newEntryEdit->text();
  if (!text.isEmpty()) addEntry(toBytes(text));
  ui_->entryView->setFocus();
  if (!rewriteFile()) return;
  ui_->newEntryEdit->clear();
}

void NameListWindow::deleteSelectedEntry() {
  const QList<QTreeWidgetItem*> selected = ui_->entryView->selectedItems();
  if (!selected.isEmpty()) {
    // The view would select the next entry; a deletion leaves none selected,
    // so a second "delete" cannot remove an entry the user did not choose.
    ui_->entryView->clearSelection();
    ui_->entryView->setCurrentItem(nullptr);
    delete selected.first();
    ui_->entryView->clearSelection();
    ui_->entryView->sortItems(0, Qt::AscendingOrder);
  }
  rewriteFile();
}

void NameListWindow::deleteAllEntries() {
  if (!scan_.scanRunning() && dialogs().confirm(this, "sure to delete complete list ?")) {
    ui_->entryView->clear();
    writeFile([](const NameListFile& file) { file.clear(); });
  }
  ui_->newEntryEdit->setFocus();
}

void NameListWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) loadList();
}

bool NameListWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->newEntryEdit && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (!ui_->newEntryEdit->text().isEmpty()) addTypedEntry();
        ui_->newEntryEdit->setFocus();
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
