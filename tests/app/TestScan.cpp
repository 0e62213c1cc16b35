// "scan now", "stop scan", the auto-scan timer and closing the window during
// a pass, against fake game servers on loopback.
#include <QAction>
#include <QComboBox>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>
#include <sstream>
#include <thread>

#include "app/MainWindow.h"
#include "app/Resources.h"
#include "app/core/HeadlessScan.h"
#include "app/core/ScanPass.h"
#include "components/Clock.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "support/FakeGameServer.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ScriptedDialogs.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

void writeConfig(const TempDataDir& dir, const std::string& timer, int timeoutMs,
                 const std::string& clantags = "clantags off") {
  dir.writeLines("Config", {timer, "Serverlists\\Standard", clantags, "Nick", "", "", "",
                            std::to_string(timeoutMs), "fast", "false", "0",
                            "//Quellis Config - Dont change this file !"});
}

QList<int> icons(MainWindow& w) {
  QList<int> out;
  for (int i = 0; i < serverRowCount(w); ++i) out << serverRow(w, i)->data(0, Qt::UserRole).toInt();
  return out;
}

// Installs a test clock for one test, also when it fails half-way.
struct ClockGuard {
  explicit ClockGuard(Clock* c) { setClock(c); }
  ~ClockGuard() { setClock(nullptr); }
};

void expectIdle(MainWindow& w) {
  QVERIFY(!w.scanRunning());
  QCOMPARE(w.scanThreadId(), 0ul);
  QVERIFY(toolButtonShown(w, scanNowButton(w)));
  QVERIFY(!toolButtonShown(w, stopScanButton(w)));
  QVERIFY(!scanProgress(w)->isVisible());
}

}  // namespace

class TestScan : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void passWritesStatesSortsAndReturnsToIdle() {
    TempDataDir dir;
    FakeGameServer three, silent, full;
    three.setReply(makePlayersReply("obj/obj_team2", "16", {"a", "b", "c"}));
    full.setReply(makePlayersReply("dm/mohdm6", "2", {"x", "y"}));
    dir.writeInstallation(
        serverListLines({{"Alpha", &silent}, {"Bravo", &three}, {"Charlie", &full}}));
    writeConfig(dir, "timer off", 300);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();

    scanNowButton(w)->click();
    QVERIFY(w.scanRunning());
    QVERIFY(!toolButtonShown(w, scanNowButton(w)));
    QVERIFY(toolButtonShown(w, stopScanButton(w)));
    QVERIFY(scanProgress(w)->isVisible());
    QCOMPARE(scanProgress(w)->maximum(), 3);
    // The first server is silent: its index is shown while it is waited for.
    QTRY_COMPARE_WITH_TIMEOUT(w.statusText(), QString("0 - 3 scanning..."), 5000);

    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 10000);
    expectIdle(w);
    QCOMPARE(columnTexts(serverView(w), 0), QStringList({"3/16", "FULL", "no response"}));
    QCOMPARE(columnTexts(serverView(w), 1), QStringList({"obj/obj_team2", "dm/mohdm6", " "}));
    QCOMPARE(columnTexts(serverView(w), 2), QStringList({"Bravo", "Charlie", "Alpha"}));
    QCOMPARE(columnTexts(serverView(w), 3), QStringList({"Medal of Honor", "Medal of Honor", " "}));
    QCOMPARE(icons(w), QList<int>({RowAnswered, RowFull, RowNoAnswer}));
    QCOMPARE(w.statusText(), QString("3 servers in Serverlists\\Standard"));
    QCOMPARE(scanProgress(w)->value(), 3);
    QVERIFY(d.shown.isEmpty());
  }

  void stopAfterTheFirstServerLeavesTheRestAndSorts() {
    TempDataDir dir;
    FakeGameServer answering, silent;
    answering.setReply(makePlayersReply("dm/mohdm1", "16", {"a"}));
    std::vector<std::pair<std::string, const FakeGameServer*>> servers{{"S0", &answering}};
    for (int i = 1; i < 10; ++i) servers.emplace_back("S" + std::to_string(i), &silent);
    dir.writeInstallation(serverListLines(servers));
    writeConfig(dir, "timer off", 60000);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    // Sort descending by "Player" before the pass; the stop sorts that way.
    clickHeader(serverView(w), 0);

    scanNowButton(w)->click();
    QTRY_COMPARE_WITH_TIMEOUT(serverRow(w, 0)->text(0), QString("1/16"), 5000);
    QVERIFY(silent.waitForCount(1, 5000));
    QTRY_COMPARE_WITH_TIMEOUT(w.statusText(), QString("1 - 10 scanning..."), 5000);
    stopScanButton(w)->click();
    expectIdle(w);
    QCOMPARE(w.statusText(), QString("10 servers in Serverlists\\Standard"));
    QStringList captions = columnTexts(serverView(w), 0);
    QCOMPARE(captions.count("not scanned"), 9);
    QCOMPARE(captions.last(), QString("1/16"));  // descending: digits last
    // Nothing more arrives from the stopped pass.
    QTest::qWait(200);
    QCOMPARE(columnTexts(serverView(w), 0), captions);
    QCOMPARE(w.statusText(), QString("10 servers in Serverlists\\Standard"));
    QCOMPARE(silent.receivedCount(), 1u);
  }

  void aStoppedPassChangesNothingItHadQueued() {
    TempDataDir dir;
    FakeGameServer first, second;
    first.setReply(makePlayersReply("dm/mohdm1", "16", {"a"}));
    second.setReply(makePlayersReply("dm/mohdm2", "16", {"b"}));
    dir.writeInstallation(serverListLines({{"S0", &first}, {"S1", &second}}));
    writeConfig(dir, "timer off", 5000);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    const QStringList before = columnTexts(serverView(w), 0), maps = columnTexts(serverView(w), 1);

    // The pass runs to its end while this thread runs no event loop: every
    // change it made is still queued when "stop scan" comes.
    scanNowButton(w)->click();
    QVERIFY(first.waitForSent(1, 5000));
    QVERIFY(second.waitForSent(1, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stopScanButton(w)->click();
    QTest::qWait(100);
    expectIdle(w);
    QCOMPARE(columnTexts(serverView(w), 0), before);
    QCOMPARE(columnTexts(serverView(w), 1), maps);
    QCOMPARE(w.statusText(), QString("2 servers in Serverlists\\Standard"));
    QCOMPARE(playerView(w)->topLevelItemCount(), 0);
  }

  void timerStartsAPassOnlyWhileIdle() {
    ScaledClock fast(1, 1000);  // 125 s ticks become 125 ms
    ClockGuard guard(&fast);
    TempDataDir dir;
    FakeGameServer silent;
    dir.writeInstallation(serverListLines({{"Quiet", &silent}}));
    writeConfig(dir, "timer on", 60000);
    ScriptedDialogs d;
    {
      Settings settings;
      MainWindow w(settings);
      w.show();
      QVERIFY(autoScanTimer(w)->isActive());
      QTRY_VERIFY_WITH_TIMEOUT(silent.receivedCount() == 1, 5000);
      QVERIFY(w.scanRunning());
      // Several ticks pass while the query waits: no second pass.
      QTest::qWait(600);
      QCOMPARE(silent.receivedCount(), 1u);
      stopScanButton(w)->click();
      QVERIFY(!w.scanRunning());
      QTRY_VERIFY_WITH_TIMEOUT(silent.receivedCount() == 2, 5000);
      QVERIFY(w.scanRunning());
      stopScanButton(w)->click();
    }
  }

  void emptyListEndsAtOnce() {
    TempDataDir dir;
    dir.writeInstallation({});
    writeConfig(dir, "timer off", 300);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    buddyView(w)->headerItem()->setText(0, "3 Buddies online");
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 5000);
    expectIdle(w);
    QCOMPARE(w.statusText(), QString("0 servers in Serverlists\\Standard"));
    // No player line was matched: the caption stays.
    QCOMPARE(buddyView(w)->headerItem()->text(0), QString("3 Buddies online"));
  }

  void buddyViewMatchesTheHeadlessOrder() {
    TempDataDir dir;
    FakeGameServer one, two;
    one.setReply(makePlayersReply("dm/mohdm1", "16", {"Sniper", "[TAG]Zed", "bob"}));
    two.setReply(makePlayersReply("dm/mohdm2", "16", {"SNIPER", "Amy[tag]"}));
    dir.writeInstallation(serverListLines({{"One", &one}, {"Two", &two}}));
    writeConfig(dir, "timer off", 300, "clantags on");
    dir.writeLines("Buddys.txt", {"sniper", "Bob"});
    dir.writeLines("clantags.txt", {"[tag]"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 10000);
    QCOMPARE(buddyView(w)->headerItem()->text(0), QString("5 Buddies online"));

    std::ostringstream out, err;
    QCOMPARE(runHeadlessScan({"Serverlists\\Standard", 300, true}, out, err), 0);
    QString expected;
    for (int i = 0; i < serverRowCount(w); ++i) {
      QTreeWidgetItem* r = serverRow(w, i);
      expected += r->text(0) + "\t" + r->text(1) + "\t" + r->text(2) + "\t" + r->text(3) + "\n";
    }
    for (int i = 0; i < buddyView(w)->topLevelItemCount(); ++i) {
      QTreeWidgetItem* r = buddyView(w)->topLevelItem(i);
      expected += "buddy\t" + r->text(0) + "\t" + r->text(1) + "\n";
    }
    expected += w.statusText() + "\n";
    QCOMPARE(toQString(out.str()), expected);
    // Alphabetical ignoring case; equal captions in the order they were found.
    QCOMPARE(columnTexts(buddyView(w), 0),
             QStringList({"[TAG]Zed", "Amy[tag]", "Bob", "sniper", "sniper"}));
    QCOMPARE(columnTexts(buddyView(w), 1), QStringList({"One", "Two", "One", "One", "Two"}));
  }

  // Everything a pass leaves in the window.
  static QString windowState(MainWindow& w) {
    QString s;
    for (int i = 0; i < serverRowCount(w); ++i) {
      QTreeWidgetItem* r = serverRow(w, i);
      s += r->text(0) + "|" + r->text(1) + "|" + r->text(2) + "|" + r->text(3) + "|" +
           QString::number(r->data(0, Qt::UserRole).toInt()) + "\n";
    }
    for (int i = 0; i < buddyView(w)->topLevelItemCount(); ++i)
      s += "buddy " + buddyView(w)->topLevelItem(i)->text(0) + "|" +
           buddyView(w)->topLevelItem(i)->text(1) + "\n";
    return s + buddyView(w)->headerItem()->text(0) + "\n" + w.statusText() + "\n" +
           QString::number(scanProgress(w)->value());
  }

  void parallelSettingGivesTheSameWindow() {
    TempDataDir dir;
    FakeGameServer slow, silent, full, junk;
    slow.setResponder([](const test::FakeDatagram&) {
      return test::FakeAnswer::reply(
          makePlayersReply("obj/obj_team2", "16", {"Sniper", "[TAG]Zed"}), 100);
    });
    full.setReply(makePlayersReply("dm/mohdm6", "2", {"x", "sniper"}));
    junk.setReply(makePlayersReply("dm/mohdm1", "many", {"SNIPER"}));
    dir.writeInstallation(
        serverListLines({{"Slow", &slow}, {"Quiet", &silent}, {"Full", &full}, {"Junk", &junk}}));
    writeConfig(dir, "timer off", 300, "clantags on");
    dir.writeLines("Buddys.txt", {"sniper"});
    dir.writeLines("clantags.txt", {"[tag]"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    QVERIFY(!IniSettings().parallelScan());
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 10000);
    const QString sequential = windowState(w);
    QCOMPARE(silent.receivedCount(), 1u);

    IniSettings().setParallelScan(true);
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 10000);
    expectIdle(w);
    QCOMPARE(windowState(w), sequential);
    // Asked once, as by the sequential pass.
    QCOMPARE(silent.receivedCount(), 2u);

    // The retries chosen in Options: asked once more, the rows unchanged.
    IniSettings().setScanRetries(1);
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 10000);
    QCOMPARE(windowState(w), sequential);
    QCOMPARE(silent.receivedCount(), 4u);
  }

  void aLongPassEndsAsRowByRow() {
    // Thousands of rows, their changes applied in slices: the final window
    // is what one change after the other gives.
    TempDataDir dir;
    FakeGameServer one;
    one.setReply(makePlayersReply("dm/mohdm1", "16", {"Sniper"}));
    constexpr int kRows = 2000;
    std::vector<std::pair<std::string, const FakeGameServer*>> servers;
    for (int i = 0; i < kRows; ++i) servers.emplace_back("S" + std::to_string(i), &one);
    dir.writeInstallation(serverListLines(servers));
    writeConfig(dir, "timer off", 2000);
    dir.writeLines("Buddys.txt", {"sniper"});
    IniSettings().setParallelScan(true);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 60000);
    expectIdle(w);
    QCOMPARE(columnTexts(serverView(w), 0), QStringList(QList<QString>(kRows, "1/16")));
    QCOMPARE(buddyView(w)->topLevelItemCount(), kRows);
    QCOMPARE(buddyView(w)->headerItem()->text(0), QString("2000 Buddies online"));
    QCOMPARE(scanProgress(w)->value(), kRows);
    QCOMPARE(w.statusText(), QString("2000 servers in Serverlists\\Standard"));
    // Entries sharing one address share its requests.
    QVERIFY(one.receivedCount() >= 1 && one.receivedCount() < std::size_t(kRows));
  }

  void closingDuringAPassLeavesNoThreadAndAnIdleWindow() {
    TempDataDir dir;
    FakeGameServer silent, later;
    dir.writeInstallation(serverListLines({{"Quiet", &silent}, {"Later", &later}}));
    writeConfig(dir, "timer off", 60000);
    ScriptedDialogs d;
    Settings settings;
    auto w = std::make_unique<MainWindow>(settings);
    w->show();
    scanNowButton(*w)->click();
    QVERIFY(silent.waitForCount(1, 5000));
    QVERIFY(w->close());
    expectIdle(*w);
    QTest::qWait(100);
    QCOMPARE(serverRow(*w, 0)->text(0), QString("not scanned"));
    QCOMPARE(serverRow(*w, 1)->text(0), QString("not scanned"));
    QCOMPARE(later.receivedCount(), 0u);
    w.reset();
  }
};

QTEST_MAIN(TestScan)
#include "TestScan.moc"
