// Watches and "join when a slot frees" against a fake server that fills and
// empties on cue, with the clock scaled down: one notice per event that
// selects its server, the watches window, and the join that starts the game
// once, gives up or is cancelled.
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>
#include <atomic>

#include "app/WatchRunner.h"
#include "app/WatchesWindow.h"
#include "components/Clock.h"
#include "components/IniSettings.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/StandInGame.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

// A two-slot server whose player count the test sets; it counts its queries.
struct CuedServer {
  FakeGameServer fake;
  std::atomic<int> players{2};
  CuedServer() {
    fake.setResponder([this](const FakeDatagram&) {
      return FakeAnswer::reply(
          makePlayersReply("dm", "2", std::vector<std::string>(players.load(), "p")));
    });
  }
};

// The program over a list of Beta (silent) and Alpha (the cued server), with
// Alpha's row selected and a stand-in game as MOHAA.exe.
Application& startOn(ProgramFixture& fx, const CuedServer& alpha) {
  fx.dir().writeInstallation(serverListLines({{"Alpha", &alpha.fake}, {"Beta", nullptr}}));
  Application& app = fx.start();
  setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "mohaa/MOHAA.exe", 0.3));
  app.mainWindow()->selectServerRow(0);
  if (!QTest::qWaitFor([&] { return !app.mainWindow()->detailsQueryPending(); }))
    qWarning("the selection was not answered");
  return app;
}

QString statusText(Application& app) { return app.mainWindow()->statusText(); }

}  // namespace

class TestWatches : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    initResources();
    setClock(&fast_);
  }
  void cleanup() { setClock(nullptr); }

  void aFreedSlotIsToldOnceAndSelectsItsServer() {
    ProgramFixture fx;
    CuedServer alpha;
    Application& app = startOn(fx, alpha);
    QSignalSpy alerts(app.watchRunner(), &WatchRunner::alert);
    actionNamed(*app.mainWindow(), "WatchSlotFree")->trigger();
    QTRY_VERIFY(alpha.fake.receivedCount() >= 3);
    QCOMPARE(alerts.count(), 0);
    alpha.players = 1;
    QTRY_COMPARE(statusText(app), QString("a slot is free on Alpha: 1/2 players"));
    const std::size_t asked = alpha.fake.receivedCount();
    QTRY_VERIFY(alpha.fake.receivedCount() >= asked + 3);
    QCOMPARE(alerts.count(), 1);

    app.mainWindow()->selectServerRow(1);
    QTest::mouseClick(partNamed<QWidget>(*app.mainWindow(), "StatusPanel"), Qt::LeftButton);
    QCOMPARE(serverView(*app.mainWindow())->currentItem()->text(2), QString("Alpha"));

    auto* list = partNamed<QListWidget>(*app.watches(), "WatchList");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QString("a slot is free on Alpha"));
    QCOMPARE(IniSettings().watchLines().size(), std::size_t(1));
    list->setCurrentRow(0);
    partNamed<QPushButton>(*app.watches(), "RemoveWatchButton")->click();
    QCOMPARE(list->count(), 0);
    QVERIFY(IniSettings().watchLines().empty());
  }

  void theJoinStartsTheGameOnceWhenASlotFrees() {
    ProgramFixture fx;
    CuedServer alpha;
    Application& app = startOn(fx, alpha);
    actionNamed(*app.mainWindow(), "JoinWhenFree")->trigger();
    QTRY_VERIFY(alpha.fake.receivedCount() >= 4);
    QVERIFY(statusText(app).isEmpty() || !statusText(app).startsWith("joining"));
    QVERIFY(
        partNamed<QWidget>(*app.mainWindow(), "CancelJoinButton")->isVisibleTo(app.mainWindow()));
    alpha.players = 1;
    const std::size_t freedAt = alpha.fake.receivedCount();
    QTRY_COMPARE_WITH_TIMEOUT(app.mainWindow()->gamesRunning(), 1, 5000);
    // One poll finds the room, the selection's query shows the edition.
    QVERIFY(alpha.fake.receivedCount() <= freedAt + 2);
    QTRY_COMPARE_WITH_TIMEOUT(app.mainWindow()->gamesRunning(), 0, 10000);
    QCOMPARE(recordedArgs(fx.dir(), "mohaa").at(1), "127.0.0.1:" + alpha.fake.portText());
    const std::size_t after = alpha.fake.receivedCount();
    QTest::qWait(100);  // five join intervals at this clock
    QCOMPARE(alpha.fake.receivedCount(), after);
    QVERIFY(
        !partNamed<QWidget>(*app.mainWindow(), "CancelJoinButton")->isVisibleTo(app.mainWindow()));
  }

  void theJoinGivesUpOrIsCancelled() {
    ProgramFixture fx;
    CuedServer alpha;
    IniSettings().setJoinWaitMinutes(1);
    Application& app = startOn(fx, alpha);
    actionNamed(*app.mainWindow(), "JoinWhenFree")->trigger();
    QTRY_COMPARE(statusText(app), QString("gave up waiting for a slot on Alpha after 1 minute"));

    actionNamed(*app.mainWindow(), "JoinWhenFree")->trigger();
    QTRY_VERIFY(partNamed<QLabel>(*app.mainWindow(), "JoinWaiting")
                    ->text()
                    .startsWith("waiting for a free slot on Alpha: 0:0"));
    partNamed<QToolButton>(*app.mainWindow(), "CancelJoinButton")->click();
    QCOMPARE(statusText(app), QString("stopped waiting for a slot on Alpha"));
    const std::size_t after = alpha.fake.receivedCount();
    alpha.players = 0;
    QTest::qWait(100);
    QVERIFY(alpha.fake.receivedCount() <= after + 1);
    QCOMPARE(app.mainWindow()->gamesRunning(), 0);
  }

 private:
  // 15 s watches every 150 ms, the join every 20 ms, one minute in 600 ms.
  ScaledClock fast_{1, 100};
};

QTEST_MAIN(TestWatches)
#include "TestWatches.moc"
