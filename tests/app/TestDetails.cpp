// Selecting a server row, the buddy double-click and "Add to Buddys" against
// fake game servers on 127.0.0.1.
#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "app/BuddiesWindow.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "base/BackgroundJobs.h"
#include "components/QtText.h"
#include "components/ViewItems.h"
#include "lists/SearchWindow.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/ScriptedDialogs.h"
#include "support/qt/ToolWindowParts.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

QColor colourOf(QLabel* label) { return label->palette().color(QPalette::WindowText); }

QTreeWidgetItem* rowNamed(MainWindow& w, const QString& host) {
  for (int i = 0; i < serverRowCount(w); ++i)
    if (serverRow(w, i)->text(2) == host) return serverRow(w, i);
  return nullptr;
}

// Selects the row as a click would and waits for the details to be shown.
void selectAndWait(MainWindow& w, const QString& host) {
  QTreeWidgetItem* row = rowNamed(w, host);
  QVERIFY(row);
  serverView(w)->clearSelection();
  serverView(w)->setCurrentItem(row);
  QTRY_VERIFY_WITH_TIMEOUT(!w.detailsQueryPending(), 10000);
}

QStringList players(MainWindow& w, int column) { return columnTexts(playerView(w), column); }

// What the window last handed the properties window.
struct ShownDetails {
  explicit ShownDetails(MainWindow& w) {
    QObject::connect(&w, &MainWindow::detailsShown, &context,
                     [this](const ServerInfo& shown) { info = shown; });
    QObject::connect(&w, &MainWindow::graphReset, &context, [this](int x, QPoint pen) {
      graphX = x;
      graphPen = pen;
    });
  }
  QObject context;
  ServerInfo info;
  int graphX = -1;
  QPoint graphPen;
};

// A main window over a fresh data folder that lists the given servers; a
// non-zero timeout replaces the folder's query timeout.
using Servers = std::vector<std::pair<std::string, const FakeGameServer*>>;
struct Folder {
  explicit Folder(const Servers& servers) { dir.writeInstallation(serverListLines(servers)); }
  TempDataDir dir;
};
struct Rig {
  Rig(const Servers& servers, int timeoutMs) : folder(servers) {
    if (timeoutMs != 0) setConfigValue(settings, &Config::scanTimeout, timeoutMs);
  }
  Folder folder;
  ScriptedDialogs d;
  Settings settings;
  MainWindow w{settings};
  ShownDetails shown{w};
};

int iconOf(QTreeWidgetItem* row) { return row->data(0, Qt::UserRole).toInt(); }

const char* kInfo =
    "\\sv_hostname\\My Server\\mapname\\obj/obj_team2\\sv_maxclients\\16"
    "\\sv_maplist\\obj/obj_team1 obj/obj_team2 obj/obj_team3\\version\\1.11 win-x86"
    "\\URL\\http://www.clan.example";

}  // namespace

class TestDetails : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void selectingAnAnsweringServerFillsEveryDisplay() {
    FakeGameServer server, other;
    server.setReply(makeStatusReply(kInfo, {{35, "Sniper"}, {120, ""}, {60, "abe"}}));
    Rig r({{"Alpha", &server}, {"Beta", &other}}, 3000);
    MainWindow& w = r.w;
    Settings& settings = r.settings;
    ShownDetails& shown = r.shown;
    ScriptedDialogs& d = r.d;
    selectAndWait(w, "Alpha");

    QCOMPARE(settings.currentServer().ip, std::string("127.0.0.1"));
    QCOMPARE(settings.currentServer().port, server.portText());
    QCOMPARE(shown.info.address, QString("127.0.0.1:") + toQString(server.portText()));
    QCOMPARE(playerCountLabel(w)->text(), QString("Players: 3/16"));
    QCOMPARE(colourOf(playerCountLabel(w)), kGreen);
    QCOMPARE(mapLabel(w)->text(), QString("Map: obj/obj_team2"));
    QCOMPARE(colourOf(mapLabel(w)), kGreen);
    QCOMPARE(hostNameLabel(w)->text(), QString("My Server"));
    QCOMPARE(editionLabel(w)->text(), QString("Medal of Honor"));
    // Every player line is listed, the empty name too, in alphabetical order.
    QCOMPARE(players(w, 0), QStringList({"", "abe", "Sniper"}));
    QCOMPARE(players(w, 1), QStringList({"120", "60", "35"}));

    // The row's caption is the scan's: only named players count.
    QTreeWidgetItem* row = rowNamed(w, "Alpha");
    QCOMPARE(row->text(0), QString("2/16"));
    QCOMPARE(row->text(1), QString("obj/obj_team2"));
    QCOMPARE(row->text(3), QString("Medal of Honor"));
    QCOMPARE(iconOf(row), int(RowAnswered));
    QCOMPARE(serverView(w)->currentItem(), row);

    QCOMPARE(shown.info.mapLines, QStringList({"maps in rotation:", "-------------------",
                                               "obj/obj_team1", "obj/obj_team2", "obj/obj_team3"}));
    QCOMPARE(shown.info.version, QString("1.11 win-x86"));
    QCOMPARE(shown.info.linkCaption, QString("www.clan.example"));
    QCOMPARE(shown.info.linkTarget, QString("http://www.clan.example"));
    QCOMPARE(shown.graphX, 250);
    QCOMPARE(shown.graphPen, QPoint(97, 20));
    QVERIFY(d.shown.isEmpty());

    // One 16-byte request per selection, each from a new socket.
    selectAndWait(w, "Alpha");
    const auto got = server.received();
    QCOMPARE(got.size(), std::size_t(2));
    QCOMPARE(got[0].bytes, std::string("\xFF\xFF\xFF\xFF\x02getstatus\n\0", 16));
    QCOMPARE(got[1].bytes, got[0].bytes);
    QVERIFY(got[0].fromPort != got[1].fromPort);
    QCOMPARE(other.receivedCount(), std::size_t(0));
  }

  void fullServerKeepsTheScansCaptionAndShowsItsCountInRed() {
    // Over its maximum (a reserved slot) is full too.
    FakeGameServer server;
    std::vector<std::pair<int, std::string>> players;
    for (int i = 0; i < 17; ++i) players.push_back({50, "p" + std::to_string(i)});
    server.setReply(
        makeStatusReply("\\sv_hostname\\Full\\mapname\\dm/mohdm6\\sv_maxclients\\16", players));
    Rig r({{"Full", &server}}, 3000);
    MainWindow& w = r.w;
    selectAndWait(w, "Full");
    QTreeWidgetItem* row = rowNamed(w, "Full");
    QCOMPARE(row->text(0), QString("FULL"));
    QCOMPARE(iconOf(row), int(RowFull));
    QCOMPARE(playerCountLabel(w)->text(), QString("Players: 17/16"));
    QCOMPARE(colourOf(playerCountLabel(w)), kRed);
  }

  void noAnswerClearsTheDisplayAndMarksTheRow() {
    FakeGameServer server;
    server.queueReply(makeStatusReply(kInfo, {{35, "Sniper"}}));  // then silence
    Rig r({{"Alpha", &server}}, 3000);
    MainWindow& w = r.w;
    Settings& settings = r.settings;
    ShownDetails& shown = r.shown;
    ScriptedDialogs& d = r.d;
    selectAndWait(w, "Alpha");
    QCOMPARE(playerView(w)->topLevelItemCount(), 1);

    setConfigValue(settings, &Config::scanTimeout, 150);
    selectAndWait(w, "Alpha");
    QTreeWidgetItem* row = rowNamed(w, "Alpha");
    QCOMPARE(playerCountLabel(w)->text(), QString());
    QCOMPARE(mapLabel(w)->text(), QString("No response from selected server !"));
    QCOMPARE(colourOf(mapLabel(w)), kRed);
    QCOMPARE(hostNameLabel(w)->text(), QString());
    QCOMPARE(editionLabel(w)->text(), QString());
    QCOMPARE(playerView(w)->topLevelItemCount(), 0);
    QCOMPARE(row->text(0), QString("no response"));
    QCOMPARE(iconOf(row), int(RowNoAnswer));
    QCOMPARE(shown.info.linkCaption, QString("no link available"));
    QCOMPARE(shown.info.linkTarget, QString("http://www.tarvix.example/"));
    QCOMPARE(shown.info.version, QString());
    QCOMPARE(shown.info.mapLines, QStringList({"maps in rotation:", "-------------------"}));
    QVERIFY(d.shown.isEmpty());
  }

  void badInputFromServerOrListIsHandled() {
    FakeGameServer server, ffServer, noLink;
    server.setReply(makeStatusReply("\\sv_hostname\\Odd\\mapname\\dm/mymap\\sv_maxclients\\abc",
                                    {{10, "one"}}));
    ffServer.setReply(makeStatusReply("\\sv_maxclients\\8", {{10, "Sn\xFFiper"}}));
    noLink.setReply(makeStatusReply("\\sv_maxclients\\8\\URL\\clan.example", {}));
    Rig r({{"Odd", &server}, {"Ff", &ffServer}, {"NoLink", &noLink}, {"Ghost", &server}}, 3000);
    MainWindow& w = r.w;
    Settings& settings = r.settings;
    ShownDetails& shown = r.shown;
    TempDataDir& dir = r.folder.dir;
    ScriptedDialogs& d = r.d;
    // "Ghost" leaves the list file; its row stays.
    dir.writeLines("Serverlists/Standard",
                   serverListLines({{"Odd", &server}, {"Ff", &ffServer}, {"NoLink", &noLink}}));

    // A maximum that is no number: display filled, then the error; the row
    // reads as a scan reads it.
    selectAndWait(w, "Odd");
    QTreeWidgetItem* odd = rowNamed(w, "Odd");
    QCOMPARE(d.errors, QStringList({"'abc' is not a valid integer value"}));
    QCOMPARE(playerCountLabel(w)->text(), QString("Players: 1/abc"));
    QCOMPARE(odd->text(0), QString("sends shit"));
    QCOMPARE(iconOf(odd), int(RowNoAnswer));
    QCOMPARE(players(w, 0), QStringList({"one"}));
    // Custom map without a file in "main" of the current folder (empty MohaaPath).
    QVERIFY(settings.config().mohaaPath.empty());
    QCOMPARE(colourOf(mapLabel(w)), kRed);
    dir.write("main/zz_MYMAP_v2.pk3", "x");
    selectAndWait(w, "Odd");
    QCOMPARE(colourOf(mapLabel(w)), kGreen);

    // FF bytes are dropped from names in the row selection.
    selectAndWait(w, "Ff");
    QCOMPARE(players(w, 0), QStringList({"Sniper"}));

    selectAndWait(w, "NoLink");
    QCOMPARE(shown.info.linkCaption, QString("no link available"));
    QCOMPARE(shown.info.linkTarget, QString("http://www.tarvix.example/"));

    // A row whose name is no longer in the list file: nothing is sent.
    const std::size_t before =
        server.receivedCount() + ffServer.receivedCount() + noLink.receivedCount();
    selectAndWait(w, "Ghost");
    QCOMPARE(settings.currentServer().ip, std::string());
    QCOMPARE(settings.currentServer().port, std::string());
    QCOMPARE(mapLabel(w)->text(), QString("No response from selected server !"));
    QCOMPARE(rowNamed(w, "Ghost")->text(0), QString("no response"));
    QCOMPARE(iconOf(rowNamed(w, "Ghost")), int(RowNoAnswer));
    QTest::qWait(100);
    QCOMPARE(server.receivedCount() + ffServer.receivedCount() + noLink.receivedCount(), before);
  }

  void theWaitKeepsTheEventLoopRunningAndTheLaterSelectionWins() {
    FakeGameServer slow, fast;
    slow.setResponder([](const tarvix::test::FakeDatagram&) {
      return FakeAnswer::reply(makeStatusReply("\\sv_hostname\\Slow\\sv_maxclients\\4", {{1, "s"}}),
                               1500);
    });
    fast.setReply(makeStatusReply("\\sv_hostname\\Fast\\sv_maxclients\\4", {{1, "f"}}));
    Rig r({{"Slow", &slow}, {"Fast", &fast}}, 5000);
    MainWindow& w = r.w;
    Settings& settings = r.settings;

    // The selection returns while its query waits; queued work still runs.
    bool ranWhileWaiting = false;
    serverView(w)->setCurrentItem(rowNamed(w, "Slow"));
    QVERIFY(w.detailsQueryPending());
    QCOMPARE(w.cursor().shape(), Qt::BusyCursor);  // a sign of the wait
    QTimer::singleShot(0, &w, [&] { ranWhileWaiting = w.detailsQueryPending(); });
    QTRY_VERIFY_WITH_TIMEOUT(!w.detailsQueryPending(), 10000);
    QVERIFY(ranWhileWaiting);
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(hostNameLabel(w)->text(), QString("Slow"));

    // A second selection while the first waits: the second one is shown and
    // the first's late answer changes nothing.
    serverView(w)->clearSelection();
    serverView(w)->setCurrentItem(rowNamed(w, "Slow"));
    QVERIFY(slow.waitForCount(2, 5000));
    serverView(w)->setCurrentItem(rowNamed(w, "Fast"));
    QTRY_VERIFY_WITH_TIMEOUT(!w.detailsQueryPending(), 10000);
    QCOMPARE(hostNameLabel(w)->text(), QString("Fast"));
    QVERIFY(slow.waitForSent(2, 5000));
    QTest::qWait(200);
    QCOMPARE(hostNameLabel(w)->text(), QString("Fast"));
    QCOMPARE(players(w, 0), QStringList({"f"}));
    QCOMPARE(settings.currentServer().port, fast.portText());
    QCOMPARE(rowNamed(w, "Fast")->text(0), QString("1/4"));
  }

  void aWaitingQueryEndsWhenSupersededOrWhenTheWindowGoes() {
    FakeGameServer silent, fast;
    fast.setReply(makeStatusReply("\\sv_hostname\\Fast\\sv_maxclients\\4", {}));
    TempDataDir dir;
    dir.writeInstallation(serverListLines({{"Silent", &silent}, {"Fast", &fast}}));
    ScriptedDialogs d;
    Settings settings;
    auto w = std::make_unique<MainWindow>(settings);
    setConfigValue(settings, &Config::scanTimeout, 60000);
    // Each wait would last a minute unless it is stopped.
    serverView(*w)->setCurrentItem(rowNamed(*w, "Silent"));
    QVERIFY(silent.waitForCount(1, 5000));
    selectAndWait(*w, "Fast");
    QCOMPARE(hostNameLabel(*w)->text(), QString("Fast"));
    QTRY_COMPARE_WITH_TIMEOUT(BackgroundJobs::instance().count(), std::size_t(0), 5000);

    serverView(*w)->setCurrentItem(rowNamed(*w, "Silent"));
    QVERIFY(silent.waitForCount(2, 5000));
    QVERIFY(w->detailsQueryPending());
    w.reset();
    QTRY_COMPARE_WITH_TIMEOUT(BackgroundJobs::instance().count(), std::size_t(0), 5000);
  }

  void buddyDoubleClickWithoutScanSelectsTheRow() {
    FakeGameServer a, b;
    a.setReply(makeStatusReply("\\sv_hostname\\A\\sv_maxclients\\8", {{5, "x"}}));
    b.setReply(makeStatusReply("\\sv_hostname\\B\\sv_maxclients\\8", {{5, "Buddy"}}));
    Rig r({{"A", &a}, {"B", &b}}, 3000);
    MainWindow& w = r.w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    selectAndWait(w, "A");

    auto* buddy = new TextItem(QStringList{"Buddy", "B"});
    buddyView(w)->addTopLevelItem(buddy);
    doubleClickRow(buddyView(w), buddy);
    QTRY_VERIFY_WITH_TIMEOUT(!w.detailsQueryPending(), 10000);
    QCOMPARE(serverView(w)->selectedItems(), QList<QTreeWidgetItem*>{rowNamed(w, "B")});
    QCOMPARE(rowNamed(w, "B")->text(0), QString("1/8"));
    QCOMPARE(hostNameLabel(w)->text(), QString("B"));

    // Its server has no row: nothing changes.
    auto* lost = new TextItem(QStringList{"Lost", "Nowhere"});
    buddyView(w)->addTopLevelItem(lost);
    const std::size_t sent = a.receivedCount() + b.receivedCount();
    doubleClickRow(buddyView(w), lost);
    QVERIFY(!w.detailsQueryPending());
    QCOMPARE(serverView(w)->selectedItems(), QList<QTreeWidgetItem*>{rowNamed(w, "B")});
    QCOMPARE(a.receivedCount() + b.receivedCount(), sent);
  }

  void buddyDoubleClickDuringAScanLeavesTheServerView() {
    FakeGameServer server;
    server.queueReply(
        makeStatusReply("\\sv_hostname\\Live\\mapname\\dm/mohdm1\\sv_maxclients\\8"
                        "\\sv_maplist\\dm/mohdm1 dm/mohdm2\\version\\2.15",
                        {{44, "Sn\xFFiper"}}));
    server.queueReply(std::string(40, 'x'));
    FakeGameServer quiet;  // holds the pass at the first row
    Rig r({{"Quiet", &quiet}, {"Live", &server}}, 0);
    MainWindow& w = r.w;
    Settings& settings = r.settings;
    ShownDetails& shown = r.shown;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(startWaitingScan(w, settings));
    QVERIFY(quiet.waitForCount(1, 5000));
    QTRY_COMPARE_WITH_TIMEOUT(w.statusText(), QString("0 - 2 scanning..."), 5000);
    setConfigValue(settings, &Config::scanTimeout, 3000);
    auto* buddy = new TextItem(QStringList{"Sn\xFFiper", "Live"});
    buddyView(w)->addTopLevelItem(buddy);
    doubleClickRow(buddyView(w), buddy);
    QCOMPARE(shown.graphX, 97);
    QTRY_VERIFY_WITH_TIMEOUT(!w.detailsQueryPending(), 10000);
    QCOMPARE(hostNameLabel(w)->text(), QString("Live"));
    QCOMPARE(playerCountLabel(w)->text(), QString("Players: 1/8"));
    QCOMPARE(players(w, 0), QStringList({QString::fromLatin1("Sn\xFFiper")}));  // read unchanged
    QCOMPARE(shown.info.mapLines,
             QStringList({"maps in rotation:", "-------------------", "dm/mohdm1", "dm/mohdm2"}));
    QCOMPARE(serverView(w)->selectedItems().size(), 0);
    QCOMPARE(rowNamed(w, "Live")->text(0), QString("not scanned"));
    QCOMPARE(settings.currentServer().port, server.portText());

    // 40 bytes is no answer: memo and version stay.
    doubleClickRow(buddyView(w), buddy);
    QTRY_VERIFY_WITH_TIMEOUT(!w.detailsQueryPending(), 10000);
    QCOMPARE(mapLabel(w)->text(), QString("No response from selected server !"));
    QCOMPARE(playerView(w)->topLevelItemCount(), 0);
    QCOMPARE(shown.info.mapLines.size(), 4);
    QCOMPARE(shown.info.version, QString("2.15"));
    QCOMPARE(rowNamed(w, "Live")->text(0), QString("not scanned"));
    QVERIFY(w.scanRunning());
    stopScanButton(w)->click();
  }

  void addToBuddysAppendsAndReloadsTheBuddiesWindow() {
    FakeGameServer server;
    server.setReply(makeStatusReply("\\sv_maxclients\\8", {{5, "Sniper"}}));
    ProgramFixture fx;
    fx.dir().writeInstallation(serverListLines({{"S", &server}}));
    fx.dir().writeLines("Buddys.txt", {"abe"});
    Application& app = fx.start();
    MainWindow& w = *app.mainWindow();
    BuddiesWindow& buddies = *app.buddies();
    setConfigValue(app.settings(), &Config::scanTimeout, 3000);
    selectAndWait(w, "S");
    playerView(w)->setCurrentItem(playerView(w)->topLevelItem(0));
    actionNamed(w, "AddtoBuddys1")->trigger();
    QCOMPARE(w.statusText(), QString("Done!"));
    actionNamed(w, "AddtoBuddys1")->trigger();
    QCOMPARE(fx.dir().read("Buddys.txt"), std::string("abe\r\nSniper\r\nSniper\r\n"));
    // The hidden window's list follows the file.
    QVERIFY(!buddies.isVisible());
    QCOMPARE(listView(&buddies)->topLevelItemCount(), 3);

    // A missing file: the error, and the status keeps the first text.
    std::remove((fx.dir().path() + "/Buddys.txt").c_str());
    actionNamed(w, "AddtoBuddys1")->trigger();
    QCOMPARE(fx.dialogs().errors.size(), 1);
    QCOMPARE(w.statusText(), QString("Adding Sniper to Buddylist"));
    QVERIFY(!fx.dir().exists("Buddys.txt"));
  }

  void toolButtonsShowTheirWindowsAndFirstShowChecksServer() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    MainWindow& w = *app.mainWindow();
    SearchWindow& search = *app.search();
    BuddiesWindow& buddies = *app.buddies();
    QVERIFY(!serverOption(&search)->isChecked());
    w.show();
    QVERIFY(serverOption(&search)->isChecked());
    QVERIFY(!mapOption(&search)->isChecked());
    QVERIFY(!search.isVisible());
    searchButton(w)->click();
    QVERIFY(search.isVisible());
    search.hide();
    actionNamed(w, "search1")->trigger();
    QVERIFY(search.isVisible());
    buddiesButton(w)->click();
    QVERIFY(buddies.isVisible());
    search.hide();
    buddies.hide();
    w.hide();
  }
};

QTEST_MAIN(TestDetails)
#include "TestDetails.moc"
