// The map change: the announcement and the map command on fresh sockets of
// the console's client, the reply in the console, and the paths that send
// nothing but still close the window. The change runs in the background: a
// test waits for the map window to close.
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "admin/AdminConsole.h"
#include "app/MainWindow.h"
#include "components/Clock.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/ToolWindowParts.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

// The program with the console open on the fake server (or on `port`) and
// the map list shown, over a data folder with two maps. What the server
// received before the map list was shown is left out of sent().
struct Rig {
  explicit Rig(const std::string& port = {}) {
    fx.dir().writeInstallation();
    fx.dir().write("maps.txt", crlf({"Stalingrad", "obj/obj_team3", "Algiers", "dm/mohdm7"}));
    const std::string consolePort = port.empty() ? server.portText() : port;
    fx.dir().writePasswords({"127.0.0.1" + consolePort, "rcon:s3cret"});
    setClock(&fast);
    Application& program = fx.start();
    main = program.mainWindow();
    setConfigValue(program.settings(), &Config::scanTimeout, 400);
    setCurrentIp(program.settings(), FakeGameServer::host());
    setCurrentPort(program.settings(), consolePort);
    console = program.console();
    console->show();  // its first pass asks the silent server once
    QTRY_VERIFY_WITH_TIMEOUT(!console->antiCheatRunning(), 5000);
    before = server.receivedCount();
    maps = program.mapChange();
    maps->show();
  }
  ~Rig() {
    fx.stop();
    setClock(nullptr);
  }
  std::vector<tarvix::test::FakeDatagram> sent() const {
    auto all = server.received();
    return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
  }
  QLineEdit* commandLine() const { return console->findChild<QLineEdit*>("Edit1"); }
  // Loads the selected map and waits until the window has closed.
  void loadMap() {
    loadAction(maps)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!maps->isVisible(), 5000);
  }
  ProgramFixture fx;
  FakeGameServer server;
  ScaledClock fast{1, 4};
  std::size_t before = 0;
  MainWindow* main = nullptr;
  AdminConsole* console = nullptr;
  MapChangeWindow* maps = nullptr;
};

}  // namespace

class TestMapChange : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void loadMapAnnouncesThenChangesOnFreshSocketsAndShowsTheReply() {
    Rig r;
    // An answer to the announcement must not be taken for the map's reply.
    r.server.queueReply(makePrintReply("\nstale answer\n"));
    r.server.queueReply(makePrintReply("\nmap dm/mohdm7 loaded\nok\n"), 150);
    QCOMPARE(listView(r.maps)->topLevelItem(0)->text(0), QString("Algiers"));
    selectRow(listView(r.maps), 0);
    r.fx.dialogs().answers = {true};
    const int linesBefore = static_cast<int>(r.console->consoleLines().size());
    bool uiRan = false;
    QTimer::singleShot(20, [&] { uiRan = true; });

    loadAction(r.maps)->trigger();
    QVERIFY(!r.console->isEnabled());  // kept still while the server is awaited
    QVERIFY(r.maps->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!r.maps->isVisible(), 5000);

    QCOMPARE(r.fx.dialogs().questions, QStringList({"sure to change the map ?"}));
    QVERIFY(uiRan);  // the window kept working while the server was awaited
    const auto got = r.sent();
    QCOMPARE(got.size(), std::size_t(2));
    QCOMPARE(got[0].bytes, makeRconRequest("s3cret", "say loading next map: Algiers"));
    QCOMPARE(got[1].bytes, makeRconRequest("s3cret", "map dm/mohdm7"));
    QVERIFY(got[1].fromPort != got[0].fromPort);
    QStringList added = r.console->consoleLines().mid(linesBefore);
    QCOMPARE(added, QStringList({"", "map dm/mohdm7 loaded", "ok"}));
    QVERIFY(!r.maps->isVisible());
    QVERIFY(r.console->isEnabled());
    QCOMPARE(r.console->focusWidget(), r.commandLine());
    QVERIFY(r.fx.dialogs().errors.isEmpty() && r.fx.dialogs().messages.isEmpty());
  }

  // The main window may re-open the console (closing and re-aiming its
  // client) while the change waits for the server: the reply still arrives.
  void consoleReopenedDuringTheWaitKeepsTheChange() {
    Rig r;
    r.server.queueReply(makePrintReply("\nstale answer\n"));
    r.server.queueReply(makePrintReply("\nmap dm/mohdm7 loaded\n"), 300);
    selectRow(listView(r.maps), 0);
    r.fx.dialogs().answers = {true};

    bool reopened = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (reopened || r.sent().size() < 2) return;
      reopened = true;
      r.console->hide();
      r.console->show();
    });
    poll.start(5);
    const int linesBefore = static_cast<int>(r.console->consoleLines().size());
    r.loadMap();
    poll.stop();

    QVERIFY(reopened);
    QCOMPARE(r.sent()[1].bytes, makeRconRequest("s3cret", "map dm/mohdm7"));
    const QStringList lines = r.console->consoleLines();
    QVERIFY(lines.size() >= 2);
    QCOMPARE(lines.mid(lines.size() - 2), QStringList({"", "map dm/mohdm7 loaded"}));
    QVERIFY(lines.size() != linesBefore);
    QVERIFY(r.console->isEnabled());
    r.console->hide();
  }

  void noSelectionOrNoSendsNothingButStillCloses() {
    Rig r;
    r.commandLine()->clearFocus();
    r.loadMap();
    QVERIFY(r.fx.dialogs().questions.isEmpty());
    QVERIFY(!r.maps->isVisible());
    QCOMPARE(r.console->focusWidget(), r.commandLine());

    r.maps->show();
    selectRow(listView(r.maps), 1);
    r.fx.dialogs().answers = {false};
    r.loadMap();
    QCOMPARE(r.fx.dialogs().questions.size(), 1);
    QVERIFY(!r.maps->isVisible());

    // A double-click on a row asks the same question.
    r.maps->show();
    QTreeWidget* view = listView(r.maps);
    QTreeWidgetItem* row = view->topLevelItem(1);
    view->setCurrentItem(row);
    const QPoint at = view->visualItemRect(row).center();
    r.fx.dialogs().answers = {false};
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE_WITH_TIMEOUT(r.fx.dialogs().questions.size(), 2, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!r.maps->isVisible(), 2000);
    QVERIFY(!r.server.waitForCount(r.before + 1, 200));
  }

  void withoutAPasswordNothingIsSentAndTheWindowStillCloses() {
    Rig r;
    r.console->findChild<QLineEdit*>("LabeledEdit1")->clear();
    selectRow(listView(r.maps), 0);
    r.fx.dialogs().answers = {true};
    r.loadMap();
    QCOMPARE(r.console->consoleLines().last(), QString("!! -> no rcon password: nothing sent"));
    QVERIFY(r.console->isEnabled());
    QVERIFY(!r.server.waitForCount(r.before + 1, 200));
  }

  void socketFailuresAreSwallowed() {
    Rig r("0");  // no such port
    const int linesBefore = static_cast<int>(r.console->consoleLines().size());
    selectRow(listView(r.maps), 0);
    r.fx.dialogs().answers = {true};
    r.loadMap();
    QCOMPARE(static_cast<int>(r.console->consoleLines().size()), linesBefore);
    QVERIFY(r.fx.dialogs().errors.isEmpty() && r.fx.dialogs().messages.isEmpty());
    QVERIFY(!r.maps->isVisible());
    QVERIFY(r.console->isEnabled());
    QVERIFY(!r.server.waitForCount(r.before + 1, 200));
  }
};

QTEST_MAIN(TestMapChange)
#include "TestMapChange.moc"
