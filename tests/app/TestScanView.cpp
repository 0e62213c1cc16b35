// The scan and the user's view of the server rows: the pass scrolls along
// until the user scrolls or selects; header clicks during a pass sort the
// rows when it ends. Real passes against fake game servers on loopback.
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Resources.h"
#include "components/Clock.h"
#include "components/IniSettings.h"
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
// keeps the rows where they are. The window shows them.
struct SlowList {
  TempDataDir dir;
  FakeGameServer quick, slow;
  ScriptedDialogs dialogs;
  Settings settings;
  std::optional<MainWindow> w;

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
    w.emplace(settings);
    w->show();
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
    SlowList list;
    MainWindow& w = *list.w;
    QTreeWidget* view = serverView(w);
    QScrollBar* bar = view->verticalScrollBar();
    // What the user does while the pass waits at the first slow row; left
    // alone, the pass shows the second one too and the top at its end.
    const struct {
      const char* what;
      std::function<void()> act;
      bool follows;
    } passes[] = {
        {"alone", [] {}, true},
        {"wheel", [&] { wheelUp(view); }, false},
        {"selection", [&] { clickRow(view, serverRow(w, kFirstSlow - 2)); }, false},
        {"alone after the user", [] {}, true},
    };
    for (const auto& pass : passes) {
      scanNowButton(w)->click();
      QVERIFY(waitForStatus(w, scanningText(kFirstSlow)));
      QTRY_VERIFY2(rowInView(view, kFirstSlow), pass.what);
      pass.act();
      const int left = bar->value();
      QVERIFY(waitForStatus(w, scanningText(kSecondSlow)));
      QTest::qWait(100);
      QVERIFY2(rowInView(view, kSecondSlow) == pass.follows, pass.what);
      QVERIFY(waitForIdle(w));
      QVERIFY2(bar->value() == (pass.follows ? 0 : left), pass.what);
    }
  }

  void headerClicksDuringThePassSortAtItsEnd() {
    // The note on the clicks lasts 1.5 s: past the first status after the
    // clicks, not to the pass's end.
    ScaledClock halved(1, 2);
    setClock(&halved);
    const auto realClock = qScopeGuard([] { setClock(nullptr); });
    SlowList list;
    MainWindow& w = *list.w;
    QTreeWidget* view = serverView(w);
    const QStringList listOrder = columnTexts(view, 2);
    QStringList hostOrder = listOrder;
    std::sort(hostOrder.begin(), hostOrder.end());

    scanNowButton(w)->click();
    QVERIFY(waitForStatus(w, scanningText(kFirstSlow)));
    clickHeader(view, 1);  // "Map": descending, the first click of all
    clickHeader(view, 2);  // "Host": ascending
    QCOMPARE(view->header()->sortIndicatorSection(), 0);
    QCOMPARE(columnTexts(view, 2), listOrder);
    QVERIFY(waitForStatus(w, scanningText(kSecondSlow) + " (sorted when the scan ends)"));
    QVERIFY(waitForStatus(w, scanningText(kSecondSlow)));
    QVERIFY(waitForIdle(w));
    QCOMPARE(columnTexts(view, 2), hostOrder);
    QCOMPARE(view->header()->sortIndicatorSection(), 2);
    QCOMPARE(w.statusText(), QString("40 servers in Serverlists\\Standard"));

    // The clicks are spent: after a click while idle (equal maps keep their
    // order) the next pass ends in that order.
    clickHeader(view, 1);
    scanNowButton(w)->click();
    QVERIFY(waitForIdle(w));
    QCOMPARE(view->header()->sortIndicatorSection(), 1);
    QCOMPARE(columnTexts(view, 2), hostOrder);
  }

  // An option that changes the columns during a pass leaves the rows where
  // the pass writes them.
  void optionsDuringThePassMoveNoRows() {
    SlowList list;
    MainWindow& w = *list.w;
    QTreeWidget* view = serverView(w);
    // "Player" descending: the pass's answered rows would sort after the
    // ones it has not reached.
    clickHeader(view, 0);
    const QStringList listOrder = columnTexts(view, 2);
    scanNowButton(w)->click();
    QVERIFY(waitForStatus(w, scanningText(kFirstSlow)));
    IniSettings().setPingColumn(true);
    w.applyBrowserLooks();
    QCOMPARE(view->columnCount(), 5);
    QCOMPARE(columnTexts(view, 2), listOrder);
    stopScanButton(w)->click();
    QVERIFY(waitForIdle(w));
  }
};

QTEST_MAIN(TestScanView)
#include "TestScanView.moc"
