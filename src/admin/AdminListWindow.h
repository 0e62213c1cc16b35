#pragma once
// The admin list windows (maps, bans, skins, messages): one list file shown in
// a report view, reloaded from the file on every show and rewritten from the
// view, in display order, after a deletion.
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QStatusBar;
class QTreeWidget;

namespace tarvix {

struct AdminListColumn {
  const char* title;
  int width;  // 0: the column fills the view's width
};

struct AdminListSetup {
  const char* objectName;            // "Form21"
  const char* caption;               // window caption
  const char* file;                  // list file of the data folder
  std::vector<AdminListColumn> columns;
  bool pairs = false;                // two lines per row (display name, rcon name)
  bool sorted = false;               // rows sorted by the first column's text
  bool mayBeAbsent = false;          // a missing file is an empty list
  const char* icon = nullptr;        // icon of every row, or none
  bool statusBar = false;            // a status bar below the list
};

class AdminListWindow : public QWidget {
  Q_OBJECT

 public:
  AdminListWindow(AdminListSetup setup, QWidget* parent = nullptr);

  QTreeWidget* ListView1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;  // nullptr when the window has none
  QMenu* PopupMenu1 = nullptr;

  // Clears the list and reads it from the file; a read failure is shown in
  // an error box and leaves the list empty.
  void LoadList();
  // The rows' column texts in display order.
  std::vector<std::vector<std::string>> Rows() const;
  int RowCount() const;

  // Hides the window and shows it again, so that its show handler reloads it.
  static void Reshow(QWidget* window);

 protected:
  // Removes the selected row and rewrites the file from the list. False when
  // nothing was selected; a write failure is shown.
  bool DeleteSelected();
  // Runs after every load.
  virtual void ListLoaded() {}
  // Runs on every non-spontaneous show, after the list was loaded.
  virtual void FormShow() {}

  void showEvent(QShowEvent* event) override;

 private:
  void addRow(const std::vector<std::string>& columns);

  AdminListSetup setup_;
  bool centred_ = false;
};

}  // namespace tarvix
