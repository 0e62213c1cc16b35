#pragma once
// The Buddies and Clantags windows: a list of one name list file, edited in
// place and written through to the file after every change.
#include <QWidget>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace tarvix {

struct NameListTexts {
  const char* objectName;   // "Form2"
  const char* caption;      // window caption
  const char* file;         // list file of the data folder
  const char* editLabel;    // label above the edit
  const char* hint;         // hint of the list, or nullptr
  const char* deleteOne;    // context menu: delete the selected entry
  const char* deleteOneName;
  const char* deleteAll;    // context menu: delete every entry
  const char* deleteAllName;
};

class NameListWindow : public QWidget {
  Q_OBJECT

 public:
  NameListWindow(const NameListTexts& texts, bool iconView, QWidget* parent = nullptr);

  QLabel* LabeledEdit1Label = nullptr;
  QLineEdit* LabeledEdit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QTreeWidget* ListView1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* DeleteOne = nullptr;
  QAction* DeleteAll = nullptr;

  // Clears the list and reads it from the file; a read failure is shown.
  void LoadList();
  // The entries in display order.
  std::vector<std::string> Entries() const;

  void Button1Click();
  void DeleteOneClick();
  void DeleteAllClick();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void addEntry(const std::string& text);
  // Rewrites the existing file from the list; false after showing the error.
  bool rewriteFile();

  NameListTexts texts_;
  bool centred_ = false;
};

}  // namespace tarvix
