#pragma once
// "search for server, map, ip": finds servers of the current list and
// selects the hit in the main window's server view.
#include <QWidget>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidgetItem;

namespace tarvix {

class SearchWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SearchWindow(QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;
  QRadioButton* RadioButton1 = nullptr;  // server
  QRadioButton* RadioButton2 = nullptr;  // map
  QRadioButton* RadioButton3 = nullptr;  // ip
  QPushButton* Button1 = nullptr;        // search

  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Walks the server view's rows for the text in `column`, asking
  // "search next ?" after each hit.
  void textSearch(int column);
  // Finds the address (with or without port) in the current list file.
  void addressSearch();
  // Selects a row as the user would, which queries that server.
  static void selectHit(QTreeWidgetItem* row);

  bool centred_ = false;
};

}  // namespace tarvix
