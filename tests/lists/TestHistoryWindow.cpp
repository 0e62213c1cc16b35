// "history..." on a server row opens its history as a player sees it: the
// players chart tells the point under the mouse, the busy hours their cell,
// the maps their share and who was seen there; a server without history says
// "no history yet".
#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>
#include <ctime>

#include "app/core/HistoryPasses.h"
#include "lists/BusyHoursView.h"
#include "lists/HistoryWindow.h"
#include "lists/PlayerChart.h"
#include "store/History.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/Parts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

QStringList rowsOf(const QTreeWidget& view) {
  QStringList rows;
  for (int i = 0; i < view.topLevelItemCount(); ++i)
    rows << view.topLevelItem(i)->text(0) + " | " + view.topLevelItem(i)->text(1);
  return rows;
}

// Opens the history of the row `row` through the server menu.
HistoryWindow& openHistory(Application& app, int row) {
  app.mainWindow()->selectServerRow(row);
  QSignalSpy shown(app.history(), &HistoryWindow::historyShown);
  partNamed<QAction>(*app.mainWindow(), "HistoryAction")->trigger();
  if (!shown.wait(10000)) qFatal("the history was not shown");
  return *app.history();
}

void hover(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

}  // namespace

class TestHistoryWindow : public QObject {
  Q_OBJECT

 private slots:
  void showsTheServersWeekWithValuesOnHover() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Busy", "127.0.0.1", "12203", "Quiet", "127.0.0.1", "12204"});
    const std::int64_t now = historyNow();
    {
      History h(kHistoryFile);
      h.record({now - 7200, {{"127.0.0.1:12203", "Busy", 3, 16, "dm/mohdm1", "", 30}}, {}});
      h.record({now - 3600,
                {{"127.0.0.1:12203", "Busy", 12, 16, "obj/obj_team2", "", 30}},
                {{"Sniper", "127.0.0.1:12203"}}});
      h.record({now - 600, {{"127.0.0.1:12203", "Busy", 9, 16, "obj/obj_team2", "", 30}}, {}});
    }
    Application& app = fx.start();
    HistoryWindow& w = openHistory(app, 0);
    QVERIFY(w.isVisible());
    QVERIFY(!partNamed<QLabel>(w, "NoHistoryLabel")->isVisible());
    QCOMPARE(partNamed<QLabel>(w, "PeakLabel")->text(), "most players: 12 of 16");
    QCOMPARE(rowsOf(*partNamed<QTreeWidget>(w, "MapsView")),
             (QStringList{"obj/obj_team2 | 67 %", "dm/mohdm1 | 33 %"}));
    QCOMPARE(partNamed<QTreeWidget>(w, "SeenView")->topLevelItem(0)->text(0), "Sniper");

    auto* chart = partNamed<PlayerChart>(w, "PlayerChart");
    const QPointF at = chart->chart()->mapToPosition(QPointF((now - 3600) * 1000.0, 12));
    hover(chart->viewport(), chart->mapFromScene(chart->chart()->mapToScene(at)));
    QTRY_VERIFY(QToolTip::text().endsWith(": 12 of 16 players, obj/obj_team2"));

    auto* hours = partNamed<BusyHoursView>(w, "BusyHoursView");
    const std::time_t t = now - 600;
    std::tm local{};
    localtime_r(&t, &local);
    const QRect cell = hours->cellRect((local.tm_wday + 6) % 7, local.tm_hour);
    hover(hours, cell.center());
    QTRY_VERIFY(QToolTip::text().endsWith(" players on average"));

    openHistory(app, 1);
    QVERIFY(partNamed<QLabel>(w, "NoHistoryLabel")->isVisible());
    QCOMPARE(partNamed<QLabel>(w, "NoHistoryLabel")->text(), "no history yet");
  }

  // Opt-in: until the first scan, a row shows its server's last recorded
  // state, greyed, with its age; the scan's own result replaces it.
  void lastKnownResultsShowUntilTheFirstScan() {
    const struct {
      bool on;
      QString caption, tip;
    } cases[] = {{false, "not scanned", ""}, {true, "12/16", "seen 60 minutes ago"}};
    for (const auto& c : cases) {
      ProgramFixture fx;
      fx.dir().writeInstallation({"Busy", "127.0.0.1", "1"});
      if (c.on) fx.dir().writeLines("tarvix.ini", {"[History]", "lastKnownResults=true"});
      History(kHistoryFile)
          .record(
              {historyNow() - 3600, {{"127.0.0.1:1", "Busy", 12, 16, "dm/mohdm1", "", 30}}, {}});
      Application& app = fx.start();
      QTreeWidgetItem* row = serverView(*app.mainWindow())->topLevelItem(0);
      QTRY_COMPARE(row->text(0), c.caption);
      QCOMPARE(row->toolTip(2), c.tip);
      QCOMPARE(row->foreground(2).color() == Qt::gray, c.on);
      app.mainWindow()->startScan();
      QTRY_COMPARE(row->text(0), "no response");
      QCOMPARE(row->toolTip(2), "");
      QVERIFY(row->foreground(2).color() != Qt::gray);
    }
  }
};

QTEST_MAIN(TestHistoryWindow)
#include "TestHistoryWindow.moc"
