#pragma once
// The Buddies and Clantags windows: a list of one name list file, edited in
// place and written through to the file after every change (every write
// goes through store/NameListFile).
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/NameListTexts.h"
#include "store/NameListFile.h"

class QLineEdit;
class QMenu;
class QTreeWidget;

namespace tarvix {

class ScanState;

class NameListWindow : public QWidget {
  Q_OBJECT

 public:
  // "delete all" is refused while `scan` says a scan pass runs.
  NameListWindow(const NameListTexts& texts, bool iconView, const ScanState& scan,
                 QWidget* parent = nullptr);
  ~NameListWindow() override;

  // Clears the list and reads it from the file; a read failure is shown.
  void loadList();
  // The entries in display order.
  std::vector<std::string> entries() const;

  // "+" and Enter in the edit: the typed name joins the list and the file.
  void addTypedEntry();
  // The menu's two items; "delete all" asks first.
  void deleteSelectedEntry();
  void deleteAllEntries();

 protected:
  // Appends one line to the file; false after showing the error.
  bool appendToFile(const std::string& text);
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls, defined in the .cpp: no other file sees them.
  struct Ui;

  void addEntry(const std::string& text);
  // Runs one write of the file; false after showing its error.
  bool writeFile(const std::function<void(const NameListFile&)>& write);
  // Rewrites the existing file from the list; false after showing the error.
  bool rewriteFile();

  NameListTexts texts_;
  NameListFile file_;
  const ScanState& scan_;
  std::unique_ptr<Ui> ui_;
};

}  // namespace tarvix
