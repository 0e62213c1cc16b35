#include "lists/ExtraOptions.h"

#include <QCheckBox>
#include <QEvent>
#include <QPushButton>
#include <QWidget>

#include "components/IniSettings.h"

namespace tarvix {

namespace {

constexpr int kRowHeight = 24;

using Read = bool (IniSettings::*)() const;
using Write = void (IniSettings::*)(bool);

// Reads the stored setting each time the window is shown.
class ReloadOnShow : public QObject {
 public:
  ReloadOnShow(QCheckBox* box, Read read, QObject* parent)
      : QObject(parent), box_(box), read_(read) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      const QSignalBlocker quiet(box_);
      box_->setChecked((IniSettings().*read_)());
    }
    return false;
  }

 private:
  QCheckBox* box_;
  Read read_;
};

QCheckBox* addOption(QWidget* window, const char* caption, const char* objectName, const char* tip,
                     Read read, Write write) {
  const QSize size = window->size();
  auto* box = new QCheckBox(caption, window);
  box->setObjectName(objectName);
  box->setToolTip(tip);
  box->setGeometry(16, size.height() - 2, size.width() - 32, 18);
  window->setFixedSize(size.width(), size.height() + kRowHeight);
  box->setChecked((IniSettings().*read)());
  QObject::connect(box, &QCheckBox::toggled, box, [write](bool on) { (IniSettings().*write)(on); });
  window->installEventFilter(new ReloadOnShow(box, read, box));
  return box;
}

}  // namespace

QPushButton* addMasterServersButton(QWidget* window) {
  const QSize size = window->size();
  auto* button = new QPushButton("master servers...", window);
  button->setObjectName("MasterServersButton");
  button->setToolTip("Where \"refresh from master servers\" finds the internet servers");
  button->setGeometry(16, size.height() + 1, 120, 22);
  window->setFixedSize(size.width(), size.height() + kRowHeight + 4);
  return button;
}

QCheckBox* addParallelScanOption(QWidget* window) {
  return addOption(window, "scan servers in parallel", "ParallelScanCheckBox",
                   "Asks many servers at once and a silent one a second time",
                   &IniSettings::parallelScan, &IniSettings::setParallelScan);
}

QCheckBox* addBuddyAlertsOption(QWidget* window) {
  return addOption(window, "alert me when a buddy comes online", "BuddyAlertsCheckBox",
                   "A notification when a scan finds a buddy or clan member the scan before "
                   "did not",
                   &IniSettings::buddyAlerts, &IniSettings::setBuddyAlerts);
}

}  // namespace tarvix
