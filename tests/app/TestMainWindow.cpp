// The main window at start-up: settings from Config, the current list's rows,
// status texts, sorting by column clicks and "delete server".
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "app/MainWindow.h"
#include "app/Resources.h"
#include "base/ConsoleLogs.h"
#include "store/DataFile.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ScriptedDialogs.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

std::vector<std::string> config(const std::string& line1, const std::string& line8,
                                const std::string& line9, const std::string& line11 = "0",
                                const std::string& list = "Serverlists\\Standard") {
  return {line1,
          list,
          "clantags on",
          "Nick",
          "secret",
          "/games/MOHAA.exe",
          "/games/moh_spearhead.exe",
          line8,
          line9,
          "true",
          line11,
          "//Quellis Config - Dont change this file !"};
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void startupShowsOneRowPerServerAndStatusTexts() {
    TempDataDir dir;
    dir.writeInstallation({"Alpha", "127.0.0.7", "12203", "beta", "127.0.0.8", "12204", "Gamma"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    QCOMPARE(w.windowTitle(), QString("Tarvix 2.10 | Allied Assault & Spearhead |"));
    QCOMPARE(w.size(), QSize(680, 618));
    QCOMPARE(serverRowCount(w), 3);
    QCOMPARE(serverNameList(w)->count(), 3);
    QVERIFY(!serverNameList(w)->isVisible());
    QCOMPARE(columnTexts(serverView(w), 0),
             QStringList({"not scanned", "not scanned", "not scanned"}));
    QCOMPARE(columnTexts(serverView(w), 2), QStringList({"Alpha", "beta", "Gamma"}));
    QCOMPARE(columnTexts(serverView(w), 1), QStringList({"", "", ""}));
    QCOMPARE(w.statusText(), QString("Total servers: 3"));
    QCOMPARE(buddyView(w)->headerItem()->text(0), QString("No Buddies online"));
    QCOMPARE(playerView(w)->headerItem()->text(0), QString("Players on server"));
    QCOMPARE(serverView(w)->headerItem()->text(3), QString("Game"));
    QVERIFY(d.shown.isEmpty());

    w.show();
    QCOMPARE(w.statusText(), QString("3 servers in Serverlists\\Standard"));
    w.hide();
    w.setStatusText(QString());
    w.show();  // every showing says it again
    QCOMPARE(w.statusText(), QString("3 servers in Serverlists\\Standard"));
    w.hide();
  }

  void theViewsGrowWithTheWindowWhosePlaceIsRemembered() {
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.1", "1"});
    ScriptedDialogs d;
    Settings settings;
    const QPoint place =
        QApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(17, 53);
    int dragged = 0;
    {
      MainWindow w(settings);
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
      const QSize servers = serverView(w)->size(), players = playerView(w)->size(),
                  buddies = buddyView(w)->size(),
                  banner = bannerImage(w, 0)->parentWidget()->size();
      w.resize(680 + 60, 618 + 90);
      w.move(place);
      QTRY_VERIFY(serverView(w)->width() == servers.width() + 60);
      QVERIFY(serverView(w)->height() > servers.height());
      QVERIFY(playerView(w)->height() > players.height());
      QVERIFY(buddyView(w)->width() > buddies.width());
      QCOMPARE(bannerImage(w, 0)->parentWidget()->size(), banner);
      // The last column takes the room gained; the player drags the split down.
      QCOMPARE(serverView(w)->columnWidth(3), 90 + 60);
      QSplitterHandle* split = w.findChild<QSplitter*>("ViewSplitter")->handle(1);
      const int upper = playerView(w)->height();
      QTest::mousePress(split, Qt::LeftButton, {}, split->rect().center());
      QTest::mouseMove(split, split->rect().center() + QPoint(0, 40));
      QTest::mouseRelease(split, Qt::LeftButton, {}, split->rect().center() + QPoint(0, 40));
      QVERIFY(qAbs(playerView(w)->height() - (upper + 40)) <= 1);  // the handle's middle
      dragged = playerView(w)->height();
      QVERIFY(w.close());
    }
    MainWindow again(settings);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.size(), QSize(740, 708));
    QCOMPARE(again.pos(), place);
    QCOMPARE(playerView(again)->height(), dragged);
    again.hide();
  }

  void toolBarButtonsInOrderWithCaptionsAndHints() {
    TempDataDir dir;
    dir.writeInstallation();
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    QStringList captions, hints;
    for (QAction* a : toolBar(w)->actions())
      if (auto* b = qobject_cast<QToolButton*>(toolBar(w)->widgetForAction(a))) {
        captions << b->text();
        hints << b->toolTip();
      }
    QCOMPARE(captions, QStringList({"scan now ", "stop scan", "search", "connect", "d-connect",
                                    "buddies", "clantags", "r-con", "options"}));
    QCOMPARE(hints, QStringList({"start scan (F5)", "stop scan (F5)",
                                 "search server-map-ip (Ctrl+F)", "connect", "direct connect",
                                 "buddies", "clantag's", "advanced rcon", "options"}));
    QVERIFY(toolButtonShown(w, scanNowButton(w)));
    QVERIFY(!toolButtonShown(w, stopScanButton(w)));
    QVERIFY(!scanProgress(w)->isVisible());
  }

  void configSettingsAreApplied() {
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.6", "1"});
    dir.writeLines("Config", config("timer on", "800", "save", "1"));
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    QCOMPARE(settings.config().scanTimeout, 10000);
    QCOMPARE(settings.config().speedSetting, 800);
    QVERIFY(settings.config().safeScan);
    QVERIFY(settings.config().clantagsOn);
    QVERIFY(settings.config().keptLine10Flag);
    QCOMPARE(settings.config().playerName, std::string("Nick"));
    QCOMPARE(settings.config().serverPassword, std::string("secret"));
    QCOMPARE(settings.config().mohaaPath, std::string("/games/MOHAA.exe"));
    QVERIFY(autoScanTimer(w)->isActive());
    QCOMPARE(autoScanTimer(w)->interval(), 125000);
    QVERIFY(bannerImage(w, 1)->isVisibleTo(&w));
    QVERIFY(!bannerImage(w, 0)->isVisibleTo(&w));
  }

  void fastModeAndUnknownBannerAndExactComparisons() {
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.6", "1"});
    auto lines = config("Timer On", "750", "Save", "7");
    lines[2] = "clantags ON";
    dir.writeLines("Config", lines);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    QCOMPARE(settings.config().scanTimeout, 750);
    QVERIFY(!settings.config().safeScan);
    QVERIFY(!settings.config().clantagsOn);
    QVERIFY(!autoScanTimer(w)->isActive());
    for (QLabel* image :
         {bannerImage(w, 0), bannerImage(w, 1), bannerImage(w, 2), bannerImage(w, 3)})
      QVERIFY(!image->isVisibleTo(&w));
  }

  void startupFailuresLeaveTheViewsEmpty_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("missing Config") << 0;
    QTest::newRow("line 8 not a number") << 1;
    QTest::newRow("missing list file") << 2;
  }

  void startupFailuresLeaveTheViewsEmpty() {
    QFETCH(int, kind);
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.6", "1"});
    if (kind == 0) std::remove("Config");
    if (kind == 1) dir.writeLines("Config", config("timer off", "fast!", "fast"));
    if (kind == 2)
      dir.writeLines("Config", config("timer off", "500", "fast", "0", "Serverlists\\Gone"));
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    QCOMPARE(serverRowCount(w), 0);
    QCOMPARE(serverNameList(w)->count(), 0);
    if (kind == 2) {
      QCOMPARE(d.messages, QStringList({"Please select a server list !"}));
    } else {
      QCOMPARE(d.errors.size(), 1);
      QVERIFY(d.messages.isEmpty());
    }
    if (kind == 0) QVERIFY(d.errors[0].contains("Config"));
    if (kind == 1) {
      QVERIFY(d.errors[0].contains("fast!"));
      // Lines before line 8 stay applied.
      QCOMPARE(settings.config().playerName, std::string("Nick"));
      QVERIFY(settings.config().clantagsOn);
    }
    w.show();
    QVERIFY(w.statusText().startsWith("0 servers in "));
    w.hide();
  }

  void aBadLineEightInALaterBlockKeepsEverySettingReadBefore() {
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.1", "1"});
    auto lines = config("timer off", "800", "save", "2");
    auto second = config("timer off", "oops", "fast", "3");
    second[3] = "Second";
    lines.insert(lines.end(), second.begin(), second.end());
    dir.writeLines("Config", lines);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    QCOMPARE(d.errors.size(), 1);
    QCOMPARE(settings.config().playerName, std::string("Second"));
    // Lines 8 to 11 of the first block stand.
    QCOMPARE(settings.config().speedSetting, 800);
    QCOMPARE(settings.config().scanTimeout, 10000);
    QVERIFY(settings.config().safeScan);
    QCOMPARE(settings.config().bannerIndex, std::string("2"));
    // The rest of the creation is skipped.
    QVERIFY(!bannerImage(w, 2)->isVisibleTo(&w));
    QCOMPARE(serverRowCount(w), 0);
  }

  void columnClicksSortWithTheByteComparison() {
    TempDataDir dir;
    dir.writeInstallation(
        {"b host", "127.0.0.1", "1", "a host", "127.0.0.4", "2", "C host", "127.0.0.5", "3"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    // Start-up order is ascending by the "Player" column, file order on ties.
    QCOMPARE(columnTexts(serverView(w), 2), QStringList({"b host", "a host", "C host"}));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    serverRow(w, 0)->setText(1, "obj/obj_team2");
    serverRow(w, 1)->setText(1, "dm/mohdm6");
    serverRow(w, 2)->setText(1, "DM/mohdm1");
    serverRow(w, 0)->setText(0, "10/16");
    serverRow(w, 1)->setText(0, "2/16");
    serverRow(w, 2)->setText(0, "FULL");

    clickHeader(serverView(w), 1);  // Map: descending first
    QCOMPARE(columnTexts(serverView(w), 1),
             QStringList({"obj/obj_team2", "dm/mohdm6", "DM/mohdm1"}));
    clickHeader(serverView(w), 1);
    QCOMPARE(columnTexts(serverView(w), 1),
             QStringList({"DM/mohdm1", "dm/mohdm6", "obj/obj_team2"}));
    clickHeader(serverView(w), 1);
    QCOMPARE(columnTexts(serverView(w), 1),
             QStringList({"obj/obj_team2", "dm/mohdm6", "DM/mohdm1"}));
    clickHeader(serverView(w), 2);  // Host after Map: ascending
    QCOMPARE(columnTexts(serverView(w), 2), QStringList({"a host", "b host", "C host"}));
    QHeaderView* header = serverView(w)->header();
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(serverView(w), 0);  // Player: descending; no numeric order
    QCOMPARE(columnTexts(serverView(w), 0), QStringList({"FULL", "2/16", "10/16"}));
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    // A click during a pass sorts nothing yet, and the arrow stays; the
    // stop of the pass applies it.
    QVERIFY(startWaitingScan(w, settings));
    clickHeader(serverView(w), 2);
    QCOMPARE(columnTexts(serverView(w), 0), QStringList({"FULL", "2/16", "10/16"}));
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    stopScanButton(w)->click();
    QVERIFY(!w.scanRunning());
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(columnTexts(serverView(w), 2), QStringList({"a host", "b host", "C host"}));
    w.hide();
  }

  // A list of thousands is shown a part at a time, in the order the view's
  // own sort gives (here Host, descending), and scanned once all are shown.
  void aLongListIsShownInTheViewsOrderThenScanned() {
    std::vector<std::string> list, names;
    for (int i = 0; i < 1201; ++i) {
      names.push_back((i % 3 ? "b" : "A") + std::to_string(i * 7919 % 1201));
      list.insert(list.end(), {names.back(), "127.0.0.1", "1"});
    }
    TempDataDir dir;
    dir.writeInstallation(list);
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    settings.updateConfig([](Config& c) { c.scanTimeout = 60000; });
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    clickHeader(serverView(w), 2);
    w.clearServerList();
    w.loadServerList("Standard", names);
    QTRY_VERIFY_WITH_TIMEOUT(w.scanRunning(), 10000);
    const QStringList shown = columnTexts(serverView(w), 2);
    QCOMPARE(shown.size(), 1201);
    serverView(w)->sortItems(2, Qt::DescendingOrder);
    QCOMPARE(columnTexts(serverView(w), 2), shown);
    QCOMPARE(serverNameList(w)->itemText(1200), QString::fromStdString(names.back()));
    stopScanButton(w)->click();
  }

  void captionChangesResortOnlyWhileAutoSortIsOn() {
    TempDataDir dir;
    dir.writeInstallation({"one", "127.0.0.1", "1", "two", "127.0.0.4", "2"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    // "two" does not answer its selection: "no response" sorts before
    // "not scanned" at once.
    serverView(w)->setCurrentItem(serverRow(w, 1));
    QTRY_COMPARE_WITH_TIMEOUT(columnTexts(serverView(w), 0),
                              QStringList({"no response", "not scanned"}), 5000);
    QCOMPARE(columnTexts(serverView(w), 2), QStringList({"two", "one"}));
  }

  void deleteServerAsksAndRemovesEveryGroupOfThatName() {
    TempDataDir dir;
    dir.writeInstallation(
        {"Dup", "127.0.0.1", "1", "Keep", "127.0.0.2", "2", "Dup", "127.0.0.3", "3"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    serverView(w)->setCurrentItem(serverRow(w, 0));
    QCOMPARE(serverRow(w, 0)->text(2), QString("Dup"));

    d.answers = {false};
    actionNamed(w, "deleteserver1")->trigger();
    QCOMPARE(d.questions, QStringList({"Delete server\nDup ?"}));
    QCOMPARE(serverRowCount(w), 3);
    QCOMPARE(dir.read("Serverlists/Standard"),
             tarvix::test::crlf(
                 {"Dup", "127.0.0.1", "1", "Keep", "127.0.0.2", "2", "Dup", "127.0.0.3", "3"}));

    d.answers = {true};
    actionNamed(w, "deleteserver1")->trigger();
    QCOMPARE(dir.read("Serverlists/Standard"), tarvix::test::crlf({"Keep", "127.0.0.2", "2"}));
    // Only the selected row leaves the view; the hidden list follows the file.
    QCOMPARE(columnTexts(serverView(w), 2), QStringList({"Keep", "Dup"}));
    QCOMPARE(serverNameList(w)->count(), 1);
    QCOMPARE(serverNameList(w)->itemText(0), QString("Keep"));
    // The rewrite leaves no temporary beside the list, whatever its name.
    QCOMPARE(QDir(QString::fromStdString(dir.path() + "/Serverlists"))
                 .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({"Standard"}));
    // No other row takes the deleted one's selection (and with it the
    // current server).
    QVERIFY(serverView(w)->selectedItems().isEmpty());
    QCOMPARE(settings.currentServer().ip, std::string("127.0.0.3"));
  }

  void keysScanSearchDeleteAndQuit() {
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.1", "1", "B", "127.0.0.1", "2"});
    ScriptedDialogs d;
    Settings settings;
    settings.updateConfig([](Config& c) { c.scanTimeout = 60000; });
    MainWindow w(settings);
    QSignalSpy searches(&w, &MainWindow::searchRequested);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // F5 scans, and F5 again stops the scan.
    QTest::keyClick(&w, Qt::Key_F5);
    QVERIFY(w.scanRunning());
    QTest::keyClick(&w, Qt::Key_F5);
    QVERIFY(!w.scanRunning());
    QVERIFY(toolButtonShown(w, scanNowButton(w)));

    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(searches.count(), 1);

    // Delete asks the question of "delete server", only in the server view.
    serverView(w)->setCurrentItem(serverRow(w, 0));
    playerView(w)->setFocus();
    d.answers = {false};
    QTest::keyClick(playerView(w), Qt::Key_Delete);
    QVERIFY(d.questions.isEmpty());
    serverView(w)->setFocus();
    QTest::keyClick(serverView(w), Qt::Key_Delete);
    QCOMPARE(d.questions, QStringList({"Delete server\nA ?"}));
    QCOMPARE(serverRowCount(w), 2);

    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.isVisible());
  }

  void deleteServerRefusedWithoutSelectionOrWhileScanning() {
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.1", "1"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    d.answers = {true, true};
    actionNamed(w, "deleteserver1")->trigger();
    QVERIFY(d.questions.isEmpty());
    serverView(w)->setCurrentItem(serverRow(w, 0));
    QVERIFY(startWaitingScan(w, settings));
    actionNamed(w, "deleteserver1")->trigger();
    QVERIFY(d.questions.isEmpty());
    QCOMPARE(serverRowCount(w), 1);
    stopScanButton(w)->click();
  }

  void deleteServerWhileTheListIsReadReportsInUseAndLosesNothing() {
    TempDataDir dir;
    const std::string original = tarvix::test::crlf({"A", "127.0.0.1", "1", "B", "127.0.0.2", "2"});
    dir.writeInstallation({"A", "127.0.0.1", "1", "B", "127.0.0.2", "2"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    consoleLogs().clear(LogKind::BadLog);
    serverView(w)->setCurrentItem(serverRow(w, 0));
    d.answers = {true};
    {
      ReadHold reader("Serverlists\\Standard");
      actionNamed(w, "deleteserver1")->trigger();
    }
    QCOMPARE(consoleLogs().text(LogKind::BadLog),
             std::string("!! server cant be deleted - list is in use\r\n"));
    QCOMPARE(
        w.statusText(),
        QString("serverlist is in use...start Tarvix again and delete server before scaning !"));
    QCOMPARE(dir.read("Serverlists/Standard"), original);
    QCOMPARE(serverRowCount(w), 2);
  }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
