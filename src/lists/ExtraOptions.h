#pragma once
// Options check boxes for settings Config does not hold, kept in the extra
// settings file; each is off unless the user turns it on.
class QCheckBox;
class QPushButton;
class QWidget;

namespace tarvix {

// Each adds its box in a row of its own below the window's content (the
// window's fixed height grows by that row); the box shows the stored setting
// whenever the window is shown and stores every change at once.
// "scan servers in parallel", with "retries:" and a number (0 unless the
// user chose more) at the right end of its row; the retries hold for either
// scan.
QCheckBox* addParallelScanOption(QWidget* window);
// "alert me when a buddy comes online"
QCheckBox* addBuddyAlertsOption(QWidget* window);
// "record history of scans" (on unless turned off) and "show last known
// results" side by side in one row; returns the second, a look of the main
// window.
QCheckBox* addHistoryOptions(QWidget* window);
// "master servers...": a button in a row of its own; the caller connects it.
QPushButton* addMasterServersButton(QWidget* window);
// The main window's opt-in looks: "show filter bar", "show colour codes as
// colours", "show ping column", "sort players by number".
QCheckBox* addFilterBarOption(QWidget* window);
QCheckBox* addColourCodesOption(QWidget* window);
QCheckBox* addPingColumnOption(QWidget* window);
QCheckBox* addNumericPlayerSortOption(QWidget* window);
// "show country column": a flag per server from the system's country database.
QCheckBox* addCountryColumnOption(QWidget* window);

}  // namespace tarvix
