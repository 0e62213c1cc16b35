#pragma once
// "scan servers in parallel": an Options check box for a setting Config does
// not hold, kept in the extra settings file; off unless the user turns it on.
class QCheckBox;
class QWidget;

namespace tarvix {

// Adds the box in a row of its own below the window's content (the window's
// fixed height grows by that row); it shows the stored setting whenever the
// window is shown and stores every change at once.
QCheckBox* addParallelScanOption(QWidget* window);

}  // namespace tarvix
