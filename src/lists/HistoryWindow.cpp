#include "lists/HistoryWindow.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <utility>

#include "app/core/HistoryDigest.h"
#include "app/core/HistoryPasses.h"
#include "app/core/HistoryText.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "lists/BusyHoursView.h"
#include "lists/PlayerChart.h"

namespace tarvix {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kPeriods[] = {kDay, 7 * kDay, 31 * kDay};
constexpr const char* kPeriodNames[] = {"day", "week", "month"};

QTreeWidget* twoColumnView(const char* objectName, const QString& first, const QString& second,
                           QWidget* parent) {
  auto* view = new QTreeWidget(parent);
  view->setObjectName(objectName);
  view->setRootIsDecorated(false);
  view->setHeaderLabels({first, second});
  view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  view->header()->setStretchLastSection(false);
  view->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  return view;
}

}  // namespace

struct HistoryWindow::Ui {
  QLabel* title = nullptr;
  QButtonGroup* periods = nullptr;
  QLabel* peak = nullptr;
  QLabel* empty = nullptr;  // "no history yet"
  QWidget* content = nullptr;
  PlayerChart* chart = nullptr;
  BusyHoursView* hours = nullptr;
  QTreeWidget* maps = nullptr;
  QTreeWidget* seen = nullptr;
};

struct HistoryWindow::Read {
  std::vector<HistoryPoint> points;
  std::vector<LastSighting> seen;
  std::int64_t now = 0;
  std::string error;
};

HistoryWindow::HistoryWindow(std::string path, QWidget* parent)
    : QWidget(parent, Qt::Window),
      path_(std::move(path)),
      ui_(std::make_unique<Ui>()),
      shown_(std::make_unique<Read>()) {
  setObjectName("HistoryWindow");
  setWindowTitle("history");
  auto* layout = new QVBoxLayout(this);
  ui_->title = new QLabel(this);
  ui_->title->setObjectName("HistoryTitle");
  layout->addWidget(ui_->title);
  auto* periodRow = new QHBoxLayout;
  ui_->periods = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(kPeriodNames[i], this);
    button->setObjectName(QStringLiteral("Period_%1").arg(kPeriodNames[i]));
    ui_->periods->addButton(button, i);
    periodRow->addWidget(button);
  }
  ui_->periods->button(1)->setChecked(true);
  ui_->peak = new QLabel(this);
  ui_->peak->setObjectName("PeakLabel");
  periodRow->addStretch(1);
  periodRow->addWidget(ui_->peak);
  layout->addLayout(periodRow);
  ui_->empty = new QLabel(toQString(kNoHistoryText), this);
  ui_->empty->setObjectName("NoHistoryLabel");
  ui_->empty->setAlignment(Qt::AlignCenter);
  layout->addWidget(ui_->empty, 1);

  ui_->content = new QWidget(this);
  auto* content = new QVBoxLayout(ui_->content);
  content->setContentsMargins(0, 0, 0, 0);
  ui_->chart = new PlayerChart(ui_->content);
  ui_->chart->setMinimumHeight(fontMetrics().height() * 14);
  content->addWidget(ui_->chart, 2);
  content->addWidget(new QLabel("busy hours of the week (players on average, local time)"));
  ui_->hours = new BusyHoursView(ui_->content);
  content->addWidget(ui_->hours, 1);
  auto* lists = new QHBoxLayout;
  ui_->maps = twoColumnView("MapsView", "map", "of the time", ui_->content);
  ui_->seen = twoColumnView("SeenView", "buddy or clan member", "last seen", ui_->content);
  lists->addWidget(ui_->maps);
  lists->addWidget(ui_->seen);
  content->addLayout(lists, 1);
  layout->addWidget(ui_->content, 4);
  ui_->content->hide();
  connect(ui_->periods, &QButtonGroup::idClicked, this, [this] { showPeriod(); });
  resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 42);
}

HistoryWindow::~HistoryWindow() { reading_.cancel(); }

void HistoryWindow::showServer(const std::string& address, const std::string& name) {
  ui_->title->setText(toQString(name) + QStringLiteral("  ") + toQString(address));
  setWindowTitle(QStringLiteral("history of ") + toQString(name));
  reading_.cancel();
  reading_ = runInBackground(
      this,
      [path = path_, address](const StopSignal&) {
        Read read;
        read.now = historyNow();
        try {
          History history(path, {.readOnly = true});
          read.points = history.points(address, read.now - kPeriods[2], read.now);
          read.seen = history.sightings(address);
        } catch (const HistoryError& e) {
          read.error = e.what();
        }
        return read;
      },
      [this](Read read) { showRead(read); });
  centreOnFirstShow(this);
  show();
  raise();
  activateWindow();
}

void HistoryWindow::showRead(const Read& read) {
  *shown_ = read;
  const bool none = read.points.empty() && read.seen.empty();
  // A missing file is no history yet; a damaged or refused one says why.
  const bool missing = read.error.empty() || read.error.ends_with(kNoHistoryText);
  ui_->empty->setText(missing ? toQString(kNoHistoryText) : toQString(read.error));
  ui_->empty->setVisible(none);
  ui_->content->setVisible(!none);
  ui_->maps->clear();
  for (const MapShare& m : mapShares(read.points))
    ui_->maps->addTopLevelItem(new QTreeWidgetItem(
        {toQString(m.map), QStringLiteral("%1 %").arg(m.share * 100, 0, 'f', 0)}));
  ui_->seen->clear();
  for (const LastSighting& s : read.seen)
    ui_->seen->addTopLevelItem(
        new QTreeWidgetItem({toQString(s.name), toQString(localTimeText(s.time))}));
  ui_->hours->showHours(busyHours(read.points), playerPeak(read.points, 0).maxPlayers);
  showPeriod();
  emit historyShown();
}

void HistoryWindow::showPeriod() {
  const std::int64_t from = shown_->now - kPeriods[std::max(0, ui_->periods->checkedId())];
  ui_->chart->showPoints(shown_->points, from, shown_->now);
  const PlayerPeak peak = playerPeak(shown_->points, from);
  ui_->peak->setText(
      QStringLiteral("most players: %1 of %2").arg(peak.players).arg(peak.maxPlayers));
}

}  // namespace tarvix
