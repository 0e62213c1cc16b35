#pragma once
// "Options": the player settings, the reply time-out, the clan-tag switch,
// and the server lists (select, delete, export, import). Every hide writes
// Config. What the main window shows of a chosen list is asked for through
// signals.
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "store/Config.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvix {

class ScanState;
class Settings;

class OptionsWindow : public QWidget {
  Q_OBJECT

 public:
  OptionsWindow(Settings& settings, const ScanState& scan, QWidget* parent = nullptr);
  ~OptionsWindow() override;

  // The current password field: what the next connect leaves in Config.
  std::string password() const;

  // The list view's commands on its selected list; nothing without one.
  // Makes the selected list current (also the list view's double-click).
  void selectList();
  void deleteList();
  void exportListAsSslf();
  // "Import SSLF" and "Import ASE" (Name|Ip:Port lines).
  void importSslfFile();
  void importTextListFile();

 signals:
  void autoScanSwitched(bool on);
  void scanStopRequested();
  // A list was chosen: the server name list, the views and the details are
  // emptied before it is read.
  void serverListCleared();
  // The chosen list was read: its servers are loaded, with progress, and scanned.
  void serverListLoaded(const QString& listName, const std::vector<std::string>& names);
  // The current list was deleted: Standard's servers are shown instead.
  void standardListReloaded(const std::vector<std::string>& names);
  void creditsRequested();
  // "master servers...": the master servers window is shown.
  void masterServersRequested();
  // One of the main window's opt-in looks was switched (already stored).
  void browserLooksChanged();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The controls, defined in the .cpp: no other file sees them.
  struct Ui;

  // Showing: the fields and boxes from the settings, the server lists.
  void fillFromSettings();
  // The controls' signals, the list menu's actions and the double-click.
  void wireControls();
  // A list's tooltip says whether it is current and whether a refresh wrote
  // it; a fetched list is shown in italics.
  void markListItem(QTreeWidgetItem* item, const std::string& name) const;
  // Hiding: Config from this window and the settings.
  void saveSettings();
  // Config as this window and the settings make it.
  Config configFromWindow() const;
  // The selected list's name; empty when no list is selected.
  std::string selectedList() const;
  void showCredits();
  void onSpeedChanged();
  void onSafeScanToggled();
  void hideAndShowAgain();
  // Before an import over the list `name`: asks, naming the list and its
  // size now; true to go on (always when no such list exists).
  bool mayReplaceList(const std::string& name);
  // After an import into the current list: the main window shows (and
  // scans) what the file holds now, not the rows it had.
  void showImportedIfCurrent(const std::string& name);
  void pickExecutable(QLineEdit* field);

  Settings& settings_;
  const ScanState& scan_;
  std::unique_ptr<Ui> ui_;
};

}  // namespace tarvix
