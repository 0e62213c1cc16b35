#pragma once
// The admin list windows (maps, bans, skins, messages): one list file shown in
// a report view, reloaded from the file on every show and rewritten from the
// view, in display order, after a deletion. Each window is configured by an
// AdminListSpec (see AdminLists.h for the program's four).
#include <QSize>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "admin/AdminListSpec.h"

class QLabel;
class QMenu;
class QTreeWidget;

namespace tarvix {

class AdminListWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AdminListWindow(const AdminListSpec& spec, QWidget* parent = nullptr);
  ~AdminListWindow() override;

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
  // The controls, defined in the .cpp: no other file sees them.
  struct Ui;

  void addRow(const std::vector<std::string>& columns);
  void addMenuItem(const AdminListMenuItem& item);
  // Removes the selected row and rewrites the file; false when nothing was
  // selected. A write failure is shown.
  bool removeSelectedRow();

  AdminListSpec spec_;
  std::unique_ptr<Ui> ui_;
};

}  // namespace tarvix
