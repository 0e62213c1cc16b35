#pragma once
// The admin list windows (maps, bans, skins, messages): one list file shown in
// a report view, reloaded from the file on every show and rewritten from the
// view, in display order, after a deletion. Each window is configured by an
// AdminListSpec (see AdminLists.h for the program's four).
#include <QSize>
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QTreeWidget;

namespace tarvix {

struct AdminListColumn {
  const char* title;
  int width;  // 0: the column fills the view's width
};

// What an item of the list's right-click menu does.
enum class AdminListAction {
  Load,       // loadSelected(): the map change
  Delete,     // removes the selected row and rewrites the file
  New,        // asks for the add window (newEntryRequested)
  Separator,  // a separator, no item
};

struct AdminListMenuItem {
  AdminListAction action;
  const char* objectName = nullptr;
  const char* caption = nullptr;
};

struct AdminListSpec {
  const char* objectName;  // "Form21"
  const char* caption;     // window caption
  const char* file;        // list file of the data folder
  std::vector<AdminListColumn> columns;
  std::vector<AdminListMenuItem> menu;  // in menu order
  bool pairs = false;                   // two lines per row (display name, rcon name)
  bool sorted = false;                  // rows sorted by the first column's text
  bool mayBeAbsent = false;             // a missing file is an empty list
  const char* icon = nullptr;           // icon of every row, or none
  bool statusBar = false;               // a status bar below the list
  // With a status bar: one panel "<rows> <countText>" ("skins in list"), and
  // a deletion shows the window again so the count follows.
  const char* countText = nullptr;
  QSize size;  // the first size
  QSize minimumSize{0, 0};
  int maximumWidth = QWIDGETSIZE_MAX;
};

class AdminListWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AdminListWindow(const AdminListSpec& spec, QWidget* parent = nullptr);

  // Clears the list and reads it from the file; a read failure is shown in
  // an error box and leaves the list empty.
  void loadList();
  // The rows' column texts in display order.
  std::vector<std::vector<std::string>> rows() const;
  int rowCount() const;

 public slots:
  // Hides the window and shows it again, so that its show handler reloads it.
  void reshow();
  // The delete item: removes the selected row and rewrites the file.
  void deleteSelected();

 signals:
  // The new item: the list's add window is wanted.
  void newEntryRequested();

 protected:
  // The load item; nothing unless a window loads its rows somewhere.
  virtual void loadSelected() {}

  void showEvent(QShowEvent* event) override;
  // The selected row's column texts; empty when no row is selected.
  std::vector<std::string> selectedRow() const;
  // A double-click on a row acts as the load item.
  void loadOnDoubleClick();

 private:
  // Controls; each keeps its code name as its objectName.
  struct Ui {
    QTreeWidget* listView = nullptr;
    QLabel* countPanel = nullptr;  // nullptr when the window counts nothing
    QMenu* menu = nullptr;
  };

  void addRow(const std::vector<std::string>& columns);
  void addMenuItem(const AdminListMenuItem& item);
  // Removes the selected row and rewrites the file; false when nothing was
  // selected. A write failure is shown.
  bool removeSelectedRow();

  AdminListSpec spec_;
  Ui ui_;
};

}  // namespace tarvix
