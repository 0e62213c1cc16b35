// The scan and the user's view of the server rows: the pass scrolls along
// until the user scrolls or selects; header clicks during a pass sort the
// rows when it ends. Real passes against fake game servers on loopback.
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QtTest>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Resources.h"
#include "support/ConfigLines.h"
#include "support/FakeGameServer.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ScriptedDialogs.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

constexpr int kRows = 40;
// Rows whose servers answer late: the pass waits there while the test acts.
constexpr int kFirstSlow = 20;
constexpr int kSecondSlow = 35;

// Forty servers, named so that the list's order is the reverse of the
// "Host" order; every server answers alike, so the stop's sort by "Player"
// keeps the rows where they are.
struct SlowList {
  TempDataDir dir;
  FakeGameServer quick, slow;

  SlowList() {
    const std::string bytes = makeStatusReply(
        "\\sv_hostname\\X\\mapname\\dm/mohdm1\\sv_maxclients\\16", {{40, "Player"}});
    quick.setReply(bytes);
    slow.setResponder([bytes](const FakeDatagram&) { return FakeAnswer::reply(bytes, 1000); });
    std::vector<std::string> list;
    for (int i = 0; i < kRows; ++i) {
      const FakeGameServer& server = i == kFirstSlow || i == kSecondSlow ? slow : quick;
      list.insert(list.end(), {"Server " + std::to_string(100 + kRows - 1 - i),
                               FakeGameServer::host(), server.portText()});
    }
    dir.writeInstallation(list);
    dir.writeLines("Config", configLines("timer off", "Serverlists\\Standard", "clantags off",
                                         "Nick", "", "5000", "fast"));
  }
};

QString scanningText(int row) { return QString("%1 - %2 scanning...").arg(row).arg(kRows); }

bool rowInView(QTreeWidget* view, int row) {
  const QRect at = view->visualItemRect(view->topLevelItem(row));
  return at.isValid() && view->viewport()->rect().contains(at.center());
}

// One notch of the mouse wheel up, over the rows.
void wheelUp(QTreeWidget* view) {
  QWidget* rows = view->viewport();
  const QPointF at = rows->rect().center();
  QWheelEvent wheel(at, rows->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(rows, &wheel);
}

bool waitForStatus(MainWindow& w, const QString& text) {
  return QTest::qWaitFor([&] { return w.statusText() == text; }, 10000);
}

bool waitForIdle(MainWindow& w) {
  return QTest::qWaitFor([&] { return !w.scanRunning(); }, 20000);
}

}  // namespace

class TestScanView : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void thePassFollowsItsRowsUntilTheUserMovesTheView() {
    SlowList servers;
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    QTreeWidget* view = serverView(w);
    QScrollBar* bar = view->verticalScrollBar();
    QVERIFY(!rowInView(view, kFirstSlow));

    // Left alone, the view shows the row being scanned, and the top at the end.
    scanNowButton(w)->click();
    QVERIFY(waitForStatus(w, scanningText(kFirstSlow)));
    QTRY_VERIFY(rowInView(view, kFirstSlow));
    QVERIFY(waitForStatus(w, scanningText(kSecondSlow)));
    QTRY_VERIFY(rowInView(view, kSecondSlow));
    QVERIFY(waitForIdle(w));
    QCOMPARE(bar->value(), 0);

    // A scroll during the pass stays, through the pass's end.
    scanNowButton(w)->click();
    QVERIFY(waitForStatus(w, scanningText(kFirstSlow)));
    QTRY_VERIFY(rowInView(view, kFirstSlow));
    const int followed = bar->value();
    wheelUp(view);
    const int scrolled = bar->value();
    QVERIFY(scrolled > 0 && scrolled < followed);
    QVERIFY(waitForStatus(w, scanningText(kSecondSlow)));
    QTest::qWait(100);
    QCOMPARE(bar->value(), scrolled);
    QVERIFY(waitForIdle(w));
    QCOMPARE(bar->value(), scrolled);

    // So does a row the user selects; the pass after it follows again.
    scanNowButton(w)->click();
    QVERIFY(waitForStatus(w, scanningText(kFirstSlow)));
    QTRY_VERIFY(rowInView(view, kFirstSlow));
    clickRow(view, serverRow(w, kFirstSlow - 2));
    const int selected = bar->value();
    QVERIFY(waitForStatus(w, scanningText(kSecondSlow)));
    QTest::qWait(100);
    QCOMPARE(bar->value(), selected);
    QVERIFY(!rowInView(view, kSecondSlow));
    QVERIFY(waitForIdle(w));
  }

  void headerClicksDuringThePassSortAtItsEnd() {
    SlowList servers;
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    QTreeWidget* view = serverView(w);
    const QStringList listOrder = columnTexts(view, 2);
    QStringList hostOrder = listOrder;
    std::sort(hostOrder.begin(), hostOrder.end());
    QVERIFY(hostOrder != listOrder);

    scanNowButton(w)->click();
    QVERIFY(waitForStatus(w, scanningText(kFirstSlow)));
    clickHeader(view, 1);  // "Map": descending, the first click of all
    clickHeader(view, 2);  // "Host": ascending
    QCOMPARE(view->header()->sortIndicatorSection(), 0);
    QCOMPARE(columnTexts(view, 2), listOrder);
    QCOMPARE(w.statusText(), scanningText(kFirstSlow) + " (sorted when the scan ends)");
    QVERIFY(waitForStatus(w, scanningText(kSecondSlow) + " (sorted when the scan ends)"));

    QVERIFY(waitForIdle(w));
    QCOMPARE(columnTexts(view, 2), hostOrder);
    QCOMPARE(view->header()->sortIndicatorSection(), 2);
    QCOMPARE(view->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(w.statusText(), QString("40 servers in Serverlists\\Standard"));

    // Once applied, the clicks are spent: a click while idle sorts at once
    // (equal maps keep their order), and the next pass ends in that order.
    clickHeader(view, 1);
    QCOMPARE(view->header()->sortIndicatorSection(), 1);
    scanNowButton(w)->click();
    QVERIFY(waitForIdle(w));
    QCOMPARE(view->header()->sortIndicatorSection(), 1);
    QCOMPARE(columnTexts(view, 2), hostOrder);
  }
};

QTEST_MAIN(TestScanView)
#include "TestScanView.moc"
