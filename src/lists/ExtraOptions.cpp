#include "lists/ExtraOptions.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <functional>

#include "app/core/ScanPass.h"
#include "components/IniSettings.h"

namespace tarvix {

namespace {

constexpr int kRowHeight = 24;
// The retries number at the right end of the parallel scan's row.
constexpr int kRetriesLabelWidth = 44;
constexpr int kRetriesBoxWidth = 44;

using Read = bool (IniSettings::*)() const;
using Write = void (IniSettings::*)(bool);

// Reads the stored setting each time the window is shown.
class ReloadOnShow : public QObject {
 public:
  ReloadOnShow(std::function<void()> reload, QObject* parent)
      : QObject(parent), reload_(std::move(reload)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) reload_();
    return false;
  }

 private:
  std::function<void()> reload_;
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
  window->installEventFilter(new ReloadOnShow(
      [box, read] {
        const QSignalBlocker quiet(box);
        box->setChecked((IniSettings().*read)());
      },
      box));
  return box;
}

// "retries:" and a number from 0 beside the check box, in its row.
void addRetriesNumber(QWidget* window, QCheckBox* beside) {
  QRect row = beside->geometry();
  const int boxLeft = row.right() + 1 - kRetriesBoxWidth;
  const int labelLeft = boxLeft - kRetriesLabelWidth;
  beside->setGeometry(row.adjusted(0, 0, -(kRetriesLabelWidth + kRetriesBoxWidth), 0));
  const QString tip =
      "Asks a server that did not answer within the time-out up to this many times more, "
      "each time from a new socket; a pass over silent servers takes that much longer";
  auto* label = new QLabel("retries:", window);
  label->setObjectName("ScanRetriesLabel");
  label->setToolTip(tip);
  label->setGeometry(labelLeft, row.top() - 1, kRetriesLabelWidth, row.height() + 2);
  auto* number = new QSpinBox(window);
  number->setObjectName("ScanRetriesSpinBox");
  number->setToolTip(tip);
  number->setRange(0, kMaxScanRetries);
  number->setGeometry(boxLeft, row.top() - 2, kRetriesBoxWidth, row.height() + 4);
  label->setBuddy(number);
  number->setValue(IniSettings().scanRetries());
  QObject::connect(number, &QSpinBox::valueChanged, number,
                   [](int retries) { IniSettings().setScanRetries(retries); });
  window->installEventFilter(new ReloadOnShow(
      [number] {
        const QSignalBlocker quiet(number);
        number->setValue(IniSettings().scanRetries());
      },
      number));
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
  QCheckBox* box = addOption(window, "scan servers in parallel", "ParallelScanCheckBox",
                             "Asks many servers at once, each once, as the one-at-a-time scan does",
                             &IniSettings::parallelScan, &IniSettings::setParallelScan);
  addRetriesNumber(window, box);
  return box;
}

QCheckBox* addBuddyAlertsOption(QWidget* window) {
  return addOption(window, "alert me when a buddy comes online", "BuddyAlertsCheckBox",
                   "A notification when a scan finds a buddy or clan member the scan before "
                   "did not",
                   &IniSettings::buddyAlerts, &IniSettings::setBuddyAlerts);
}

QCheckBox* addHistoryOptions(QWidget* window) {
  QCheckBox* record =
      addOption(window, "record history of scans", "HistoryCheckBox",
                "Keeps what every scan saw in history.sqlite: \"history...\" in the server "
                "menu shows a server's players, busy hours and maps",
                &IniSettings::historyRecording, &IniSettings::setHistoryRecording);
  const QRect row = record->geometry();
  const int half = row.width() / 2;
  record->setGeometry(row.adjusted(0, 0, -half, 0));
  const QSize size = window->size();
  QCheckBox* last = addOption(window, "show last known results", "LastKnownResultsCheckBox",
                              "Until the first scan, each server shows what the last scan "
                              "recorded, greyed",
                              &IniSettings::lastKnownResults, &IniSettings::setLastKnownResults);
  window->setFixedSize(size);
  last->setGeometry(row.adjusted(row.width() - half, 0, 0, 0));
  return last;
}

QCheckBox* addFilterBarOption(QWidget* window) {
  return addOption(window, "show filter bar", "FilterBarCheckBox",
                   "Hide empty, full or silent servers, or find a name, map or player",
                   &IniSettings::filterBar, &IniSettings::setFilterBar);
}

QCheckBox* addColourCodesOption(QWidget* window) {
  return addOption(window, "show colour codes as colours", "ColourCodesCheckBox",
                   "Draws ^1 to ^9 in names in their colours instead of showing the codes",
                   &IniSettings::colourCodes, &IniSettings::setColourCodes);
}

QCheckBox* addPingColumnOption(QWidget* window) {
  return addOption(window, "show ping column", "PingColumnCheckBox",
                   "Each server's reply time in the last scan, in a column of its own",
                   &IniSettings::pingColumn, &IniSettings::setPingColumn);
}

QCheckBox* addNumericPlayerSortOption(QWidget* window) {
  return addOption(window, "sort players by number", "NumericPlayerSortCheckBox",
                   "The player column sorts by player count, then by maximum",
                   &IniSettings::numericPlayerSort, &IniSettings::setNumericPlayerSort);
}

QCheckBox* addCountryColumnOption(QWidget* window) {
  return addOption(window, "show country column", "CountryColumnCheckBox",
                   "Each server's country flag, from the country database the system has",
                   &IniSettings::countryColumn, &IniSettings::setCountryColumn);
}

}  // namespace tarvix
