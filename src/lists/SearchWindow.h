#pragma once
// "search for server, map, ip": finds servers of the current list among the
// main window's server rows the user can see; a hit is selected there as the
// user would select it.
#include <QWidget>
#include <functional>
#include <memory>

class QAbstractItemModel;
class QLineEdit;
class QRadioButton;

namespace tarvix {

class Settings;

class SearchWindow : public QWidget {
  Q_OBJECT

 public:
  // `serverRows` holds the main window's server rows (columns: state, map,
  // host name, edition); `rowShown` says whether a row is on view (not
  // hidden by a filter).
  SearchWindow(Settings& settings, const QAbstractItemModel& serverRows,
               std::function<bool(int)> rowShown, QWidget* parent = nullptr);
  ~SearchWindow() override;

  // "search" and Enter in the edit.
  void search();
  // Shows and hides the window once with "server" checked, as the program
  // does when its main window first appears.
  void primeWithServerOption();

 signals:
  // Selects row `row` of the server rows.
  void serverRowFound(int row);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls, defined in the .cpp: no other file sees them.
  struct Ui;

  // Walks the server rows for the text in `column`, asking "search next ?"
  // after each hit.
  void textSearch(int column);
  // Finds the address (with or without port) in the current list file.
  void addressSearch();
  QString rowText(int row, int column) const;

  Settings& settings_;
  const QAbstractItemModel& serverRows_;
  std::function<bool(int)> rowShown_;
  std::unique_ptr<Ui> ui_;
};

}  // namespace tarvix
