#include "admin/AdminListWindow.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShowEvent>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/Dialogs.h"
#include "components/DoubleClickFilter.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/ViewItems.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct AdminListWindow::Ui {
  QTreeWidget* listView = nullptr;
  QLabel* countPanel = nullptr;  // nullptr when the window counts nothing
  QMenu* menu = nullptr;
};

AdminListWindow::~AdminListWindow() = default;

AdminListWindow::AdminListWindow(const AdminListSpec& spec, QWidget* parent)
    : QWidget(parent), spec_(spec) {
  ui_ = std::make_unique<Ui>();
  setObjectName(spec_.objectName);
  setWindowTitle(spec_.caption);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  ui_->listView = new QTreeWidget(this);
  QTreeWidget* listView = ui_->listView;
  listView->setObjectName("ListView1");
  listView->setRootIsDecorated(false);
  listView->setItemsExpandable(false);
  listView->setSelectionMode(QAbstractItemView::SingleSelection);
  listView->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView->setAllColumnsShowFocus(true);
  listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QPalette silver = listView->palette();
  silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
  listView->setPalette(silver);
  listView->setIconSize(QSize(16, 16));

  QStringList titles;
  for (const AdminListColumn& c : spec_.columns) titles << c.title;
  listView->setColumnCount(static_cast<int>(spec_.columns.size()));
  listView->setHeaderLabels(titles);
  QHeaderView* header = listView->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  for (int i = 0; i < static_cast<int>(spec_.columns.size()); ++i) {
    if (spec_.columns[i].width > 0) {
      header->setSectionResizeMode(i, QHeaderView::Interactive);
      header->resizeSection(i, spec_.columns[i].width);
    } else {
      header->setSectionResizeMode(i, QHeaderView::Stretch);
    }
  }
  listView->setContextMenuPolicy(Qt::CustomContextMenu);
  layout->addWidget(listView, 1);

  if (spec_.statusBar) {
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName("StatusBar1");
    statusBar->setSizeGripEnabled(false);
    layout->addWidget(statusBar);
    if (spec_.countText) {
      ui_->countPanel = new QLabel(statusBar);
      ui_->countPanel->setObjectName("StatusPanel0");
      ui_->countPanel->setMinimumWidth(50);
      statusBar->addWidget(ui_->countPanel, 1);
    }
  }

  ui_->menu = new QMenu(this);
  ui_->menu->setObjectName("PopupMenu1");
  connect(listView, &QWidget::customContextMenuRequested, this, [this, listView](const QPoint& p) {
    ui_->menu->popup(listView->viewport()->mapToGlobal(p));
  });
  for (const AdminListMenuItem& item : spec_.menu) addMenuItem(item);

  if (!spec_.minimumSize.isNull()) setMinimumSize(spec_.minimumSize);
  if (spec_.maximumWidth != QWIDGETSIZE_MAX) setMaximumWidth(spec_.maximumWidth);
  resize(spec_.size);
  centreOnFirstShow(this);
}

void AdminListWindow::addMenuItem(const AdminListMenuItem& item) {
  if (item.action == AdminListAction::Separator) {
    ui_->menu->addSeparator();
    return;
  }
  QAction* action = ui_->menu->addAction(item.caption);
  action->setObjectName(item.objectName);
  switch (item.action) {
    case AdminListAction::Load:
      connect(action, &QAction::triggered, this, [this] { loadSelected(); });
      break;
    case AdminListAction::Delete:
      connect(action, &QAction::triggered, this, &AdminListWindow::deleteSelected);
      break;
    case AdminListAction::New:
      connect(action, &QAction::triggered, this, &AdminListWindow::newEntryRequested);
      break;
    case AdminListAction::Separator:
      break;
  }
}

void AdminListWindow::addRow(const std::vector<std::string>& columns) {
  QStringList texts;
  for (const std::string& c : columns) texts << toQString(c);
  auto* item = new TextItem(texts);
  if (spec_.icon) item->setIcon(0, QIcon(spec_.icon));
  ui_->listView->addTopLevelItem(item);
}

void AdminListWindow::loadList() {
  ui_->listView->clear();
  std::vector<std::string> lines;
  try {
    // An absent optional list, like an unreadable one, loads as empty.
    if (spec_.mayBeAbsent)
      lines = readOptionalNameList(spec_.file).value_or(std::vector<std::string>{});
    else
      lines = readNameList(spec_.file);
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
  }
  if (spec_.pairs) {
    for (const MapEntry& m : mapPairs(lines)) addRow({m.displayName, m.rconName});
  } else {
    for (const std::string& line : lines) addRow({line});
  }
  if (spec_.sorted) ui_->listView->sortItems(0, Qt::AscendingOrder);
  if (ui_->countPanel)
    ui_->countPanel->setText(QString::number(rowCount()) + " " + spec_.countText);
}

std::vector<std::vector<std::string>> AdminListWindow::rows() const {
  std::vector<std::vector<std::string>> rows;
  const int columns = ui_->listView->columnCount();
  for (int i = 0; i < ui_->listView->topLevelItemCount(); ++i) {
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c)
      row.push_back(toBytes(ui_->listView->topLevelItem(i)->text(c)));
    rows.push_back(std::move(row));
  }
  return rows;
}

int AdminListWindow::rowCount() const { return ui_->listView->topLevelItemCount(); }

std::vector<std::string> AdminListWindow::selectedRow() const {
  const QList<QTreeWidgetItem*> selected = ui_->listView->selectedItems();
  if (selected.isEmpty()) return {};
  std::vector<std::string> row;
  for (int c = 0; c < ui_->listView->columnCount(); ++c)
    row.push_back(toBytes(selected.first()->text(c)));
  return row;
}

void AdminListWindow::loadOnDoubleClick() {
  onDoubleClick(ui_->listView, [this] { loadSelected(); });
}

bool AdminListWindow::removeSelectedRow() {
  const QList<QTreeWidgetItem*> selected = ui_->listView->selectedItems();
  if (selected.isEmpty()) return false;
  delete selected.first();
  // Every column is a line of the file: one, or a map's two.
  std::vector<std::string> lines;
  for (const std::vector<std::string>& row : rows())
    lines.insert(lines.end(), row.begin(), row.end());
  try {
    rewriteNameList(spec_.file, lines);
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
  }
  return true;
}

void AdminListWindow::deleteSelected() {
  if (removeSelectedRow() && ui_->countPanel) reshow();
}

void AdminListWindow::reshow() {
  hide();
  show();
}

void AdminListWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) loadList();
}

}  // namespace tarvix
