#include "admin/AdminListWindow.h"

#include <QHeaderView>
#include <QMenu>
#include <QShowEvent>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/ViewItems.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "components/Placement.h"

namespace tarvix {

AdminListWindow::AdminListWindow(AdminListSetup setup, QWidget* parent)
    : QWidget(parent), setup_(std::move(setup)) {
  setObjectName(setup_.objectName);
  setWindowTitle(setup_.caption);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setAllColumnsShowFocus(true);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QPalette silver = ListView1->palette();
  silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
  ListView1->setPalette(silver);
  ListView1->setIconSize(QSize(16, 16));

  QStringList titles;
  for (const AdminListColumn& c : setup_.columns) titles << c.title;
  ListView1->setColumnCount(static_cast<int>(setup_.columns.size()));
  ListView1->setHeaderLabels(titles);
  QHeaderView* header = ListView1->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  for (int i = 0; i < static_cast<int>(setup_.columns.size()); ++i) {
    if (setup_.columns[i].width > 0) {
      header->setSectionResizeMode(i, QHeaderView::Interactive);
      header->resizeSection(i, setup_.columns[i].width);
    } else {
      header->setSectionResizeMode(i, QHeaderView::Stretch);
    }
  }
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  layout->addWidget(ListView1, 1);

  if (setup_.statusBar) {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    layout->addWidget(StatusBar1);
  }

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PopupMenu1->popup(ListView1->viewport()->mapToGlobal(p));
  });
}

void AdminListWindow::addRow(const std::vector<std::string>& columns) {
  QStringList texts;
  for (const std::string& c : columns) texts << toQString(c);
  auto* item = new TextItem(texts);
  if (setup_.icon) item->setIcon(0, QIcon(setup_.icon));
  ListView1->addTopLevelItem(item);
}

void AdminListWindow::LoadList() {
  ListView1->clear();
  std::vector<std::string> lines;
  try {
    // An absent optional list, like an unreadable one, loads as empty.
    if (setup_.mayBeAbsent)
      lines = readOptionalNameList(setup_.file).value_or(std::vector<std::string>{});
    else
      lines = readNameList(setup_.file);
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }
  if (setup_.pairs) {
    for (const MapEntry& m : mapPairs(lines)) addRow({m.displayName, m.rconName});
  } else {
    for (const std::string& line : lines) addRow({line});
  }
  if (setup_.sorted) ListView1->sortItems(0, Qt::AscendingOrder);
  ListLoaded();
}

std::vector<std::vector<std::string>> AdminListWindow::Rows() const {
  std::vector<std::vector<std::string>> rows;
  const int columns = ListView1->columnCount();
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c) row.push_back(toBytes(ListView1->topLevelItem(i)->text(c)));
    rows.push_back(std::move(row));
  }
  return rows;
}

int AdminListWindow::RowCount() const { return ListView1->topLevelItemCount(); }

bool AdminListWindow::DeleteSelected() {
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  if (selected.isEmpty()) return false;
  delete selected.first();
  // Every column is a line of the file: one, or a map's two.
  std::vector<std::string> lines;
  for (const std::vector<std::string>& row : Rows()) lines.insert(lines.end(), row.begin(), row.end());
  try {
    rewriteNameList(setup_.file, lines);
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }
  return true;
}

void AdminListWindow::Reshow(QWidget* window) {
  if (!window) return;
  window->hide();
  window->show();
}

void AdminListWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    centreOnDesktop(this);
  }
  LoadList();
  FormShow();
}

}  // namespace tarvix
