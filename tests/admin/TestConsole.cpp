// The admin console against a fake server: opening, the command line and its
// local commands, the one-click actions, the server switch, the timers and
// the start and stop of the workers, and the main window's "r-con".
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <set>
#include <string>

#include "admin/AdminConsole.h"
#include "app/MainWindow.h"
#include "base/ConsoleLogs.h"
#include "components/Clock.h"
#include "protocol/StatusQuery.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

const std::string kRconHead("\xFF\xFF\xFF\xFF\x02rcon ");

// The rcon datagrams a server received, as datagrams.
std::vector<std::string> rconSent(const FakeGameServer& s) {
  std::vector<std::string> out;
  for (const FakeDatagram& d : s.received())
    if (d.bytes.rfind(kRconHead, 0) == 0) out.push_back(d.bytes);
  return out;
}

int statusQueries(const FakeGameServer& s) {
  int n = 0;
  for (const FakeDatagram& d : s.received()) n += d.bytes == statusRequest();
  return n;
}

// The program over a fresh data folder; the main window's current server is
// the fake server. Waits run 50 times faster.
struct Rig {
  explicit Rig(const std::string& rconRecord = "rcon:pw1") {
    fx.dir().writeInstallation();
    if (!rconRecord.empty()) fx.dir().writePasswords({"127.0.0.1" + server.portText(), rconRecord});
    setClock(&fast);
    Application& program = fx.start();
    main = program.mainWindow();
    setConfigValue(program.settings(), &Config::scanTimeout, 100);
    setCurrentIp(program.settings(), FakeGameServer::host());
    setCurrentPort(program.settings(), server.portText());
    console = program.console();
  }
  ~Rig() {
    fx.stop();
    setClock(nullptr);
    for (LogKind k : {LogKind::ScanLog, LogKind::MapLog, LogKind::PlayerLog, LogKind::BadLog})
      consoleLogs().clear(k);
  }
  // Opens the console and lets its first (empty) anti-cheat pass end.
  void open() {
    console->show();
    QTRY_VERIFY_WITH_TIMEOUT(!console->antiCheatRunning(), 5000);
  }
  // The console's widgets, menu items and timers by their names.
  template <typename T>
  T* find(const char* name) const {
    T* w = console->findChild<T*>(name);
    if (!w) qFatal("no %s", name);
    return w;
  }
  QLineEdit* commandLine() const { return find<QLineEdit>("Edit1"); }
  QLineEdit* passwordField() const { return find<QLineEdit>("LabeledEdit1"); }
  QCheckBox* box(const char* name) const { return find<QCheckBox>(name); }
  QTreeWidget* players() const { return find<QTreeWidget>("ListView1"); }
  void trigger(const char* item) const { find<QAction>(item)->trigger(); }
  void tick(const char* timer) const {
    QVERIFY(QMetaObject::invokeMethod(find<QTimer>(timer), "timeout"));
  }
  void enter(const QString& line) {
    commandLine()->setText(line);
    QTest::keyClick(commandLine(), Qt::Key_Return);
  }
  void enterAndWait(const QString& line) {
    enter(line);
    QTRY_VERIFY_WITH_TIMEOUT(!console->commandPending(), 5000);
  }
  // A row as a pass adds it, then selected as by a click.
  void addPlayer(const QString& name, const QString& ip) {
    ConsolePlayer p;
    p.name = name.toStdString();
    p.ip = ip.toStdString();
    console->addPlayer(++lastId, p);
    const auto rows = players()->findItems(name, Qt::MatchExactly);
    players()->setCurrentItem(rows.last());
  }
  int lastId = 1000;
  // The variable dump of "debugit /sv" (local: nothing is sent).
  QStringList variables() {
    enter("debugit /sv");
    return console->consoleLines();
  }
  QStringList tail(int n) const {
    return console->consoleLines().mid(console->consoleLines().size() - n);
  }

  ProgramFixture fx;
  FakeGameServer server;
  ScaledClock fast{1, 50};
  MainWindow* main = nullptr;
  AdminConsole* console = nullptr;
};

}  // namespace

class TestConsole : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void openingGreetsWithTheStoredRconPassword() {
    Rig r("RCON:pw1");
    r.open();
    QCOMPARE(r.passwordField()->text(), QString("pw1"));
    QCOMPARE(r.console->consoleLines(),
             QStringList({"connected to: 127.0.0.1:" + QString::fromStdString(r.server.portText()),
                          "enter \"clr\" to clear rcon", "use key UP to get last command",
                          "enter \"debugit /h\" for log options", " "}));
    QVERIFY(!r.box("CheckBox1")->isChecked());
    QVERIFY(r.box("CheckBox3")->isChecked());
    QVERIFY(!r.box("CheckBox2")->isVisible());           // "default" is empty
    QVERIFY(r.find<QAction>("messages1")->isVisible());  // "messages.txt" exists
    QCOMPARE(statusQueries(r.server), 1);                // the opening's pass
  }

  // With no saved password the field shows the placeholder, which is no
  // password: typed lines, one-click actions and the workers send no rcon
  // datagram, and the console says why.
  void withoutAPasswordNoRconDatagramIsSent() {
    Rig r("");
    r.server.setResponder([](const FakeDatagram& d) {
      return d.bytes == statusRequest()
                 ? FakeAnswer::reply(makeStatusReply("\\sv_hostname\\x", {{50, "Bob"}}))
                 : FakeAnswer::reply(makePrintReply("\nok\n"));
    });
    r.fx.dir().writeLines("bans.txt", {"Bob"});
    r.open();
    QCOMPARE(r.tail(2), QStringList({"please enter rcon password !", " "}));
    QCOMPARE(r.passwordField()->text(), QString("enter rcon"));
    QCOMPARE(r.players()->topLevelItemCount(), 1);  // the status query needs no password

    const QString refused = "!! -> no rcon password: nothing sent";
    r.enterAndWait("status");
    QCOMPARE(r.tail(1), QStringList({refused}));
    r.enterAndWait("clr");  // a local command does its part and says nothing
    QVERIFY(r.console->consoleLines().isEmpty());
    r.fx.dialogs().answers = {true, true, true};
    r.players()->setCurrentItem(r.players()->topLevelItem(0));
    r.trigger("kick1");
    r.trigger("restart3x1");
    r.trigger("crash1");
    QCOMPARE(r.console->consoleLines(), QStringList({refused, refused, refused}));
    r.box("CheckBox1")->setChecked(true);
    QCOMPARE(r.tail(1),
             QStringList({"!! -> no rcon password: nobody is kicked until one is entered"}));
    r.trigger("refresh1");
    QTRY_VERIFY_WITH_TIMEOUT(!r.console->antiCheatRunning(), 5000);
    r.tick("Timer2");
    QTRY_VERIFY_WITH_TIMEOUT(!r.console->announcerRunning(), 5000);
    QCOMPARE(statusQueries(r.server), 3);

    // An emptied field is no password either; a typed one is sent, and the
    // first key typed over the placeholder replaces it.
    r.passwordField()->clear();
    r.enterAndWait("status");
    QCOMPARE(r.tail(1), QStringList({refused}));
    QTest::qWait(100);
    QVERIFY(rconSent(r.server).empty());
    r.passwordField()->setText("enter rcon");
    QTest::keyClicks(r.passwordField(), "secret");
    QCOMPARE(r.passwordField()->text(), QString("secret"));
    r.enterAndWait("status");
    QCOMPARE(rconSent(r.server), std::vector<std::string>{makeRconRequest("secret", "status")});
  }

  void openingStopsAtAMissingDefaultFile() {
    Rig r;
    QVERIFY(QFile::remove("default"));
    r.console->show();
    QCOMPARE(r.fx.dialogs().errors.size(), 1);
    QVERIFY(r.console->consoleLines().isEmpty());
    QVERIFY(!r.console->antiCheatRunning());
  }

  void typedLinesAwaitTheirReplyWithoutBlocking() {
    Rig r;
    r.server.setResponder([](const FakeDatagram& d) {
      if (d.bytes == makeRconRequest("pw1", "status"))
        return FakeAnswer::reply(makePrintReply("\nhello\nworld\n"), 100);
      return FakeAnswer::silence();
    });
    r.open();
    r.enter("status");
    QVERIFY(r.console->commandPending());  // the UI thread goes on meanwhile
    QVERIFY(r.commandLine()->isReadOnly());
    QTRY_VERIFY_WITH_TIMEOUT(!r.console->commandPending(), 5000);
    QCOMPARE(r.tail(3), QStringList({"", "hello", "world"}));
    QVERIFY(r.commandLine()->text().isEmpty());

    // Control bytes of a reply are shown escaped: one reply line, one line.
    r.server.setResponder([](const FakeDatagram&) {
      return FakeAnswer::reply(
          makePrintReply("\nfake\r!! -> x\x1b[2J\x01"
                         "end\n"));
    });
    r.enterAndWait("status");
    QCOMPARE(r.tail(1), QStringList({"fake\\x0D!! -> x\\x1B[2J\\x01end"}));
    r.server.setResponder([](const FakeDatagram&) { return FakeAnswer::silence(); });

    r.enterAndWait("silent");  // 10 s scaled down
    QCOMPARE(r.tail(1), QStringList({"no response from server"}));

    // "clr" clears the console and still goes to the server.
    r.enterAndWait("clr");
    QCOMPARE(r.console->consoleLines(), QStringList({"no response from server"}));
    QCOMPARE(rconSent(r.server).back(), makeRconRequest("pw1", "clr"));

    // A "quit" anywhere in the datagram: sent, no wait.
    r.enter("sv_QUIT 1");
    QVERIFY(!r.console->commandPending());
    QCOMPARE(r.tail(1), QStringList({"no response from server"}));
    QVERIFY(r.server.waitForCount(r.server.receivedCount(), 1000));
    QTRY_COMPARE_WITH_TIMEOUT(rconSent(r.server).back(), makeRconRequest("pw1", "sv_QUIT 1"), 2000);

    // Up brings back the last line, Down empties the command line.
    QTest::keyClick(r.commandLine(), Qt::Key_Up);
    QCOMPARE(r.commandLine()->text(), QString("sv_QUIT 1"));
    QTest::keyClick(r.commandLine(), Qt::Key_Down);
    QVERIFY(r.commandLine()->text().isEmpty());
  }

  // Escape in the command line first takes back a typed line, sending
  // nothing; on an empty line it closes the console.
  void escapeClearsATypedLineBeforeItCloses() {
    Rig r;
    r.open();
    const std::size_t sent = rconSent(r.server).size();
    r.commandLine()->setFocus();
    r.commandLine()->setText("kick 3");
    QTest::keyClick(r.commandLine(), Qt::Key_Escape);
    QVERIFY(r.commandLine()->text().isEmpty());
    QVERIFY(r.console->isVisible());
    // The line taken back was never sent: Up has nothing to bring back.
    QTest::keyClick(r.commandLine(), Qt::Key_Up);
    QVERIFY(r.commandLine()->text().isEmpty());
    QTest::keyClick(r.commandLine(), Qt::Key_Escape);
    QVERIFY(!r.console->isVisible());
    QCOMPARE(rconSent(r.server).size(), sent);

    // A line sent and awaiting its reply is no typed line: Escape closes.
    r.open();
    r.commandLine()->setFocus();
    r.enter("status");
    QVERIFY(r.console->commandPending());
    QTest::keyClick(r.commandLine(), Qt::Key_Escape);
    QVERIFY(!r.console->isVisible());
  }

  void anUnreadReplyIsShownForTheNextLine() {
    Rig r;
    r.fx.dialogs().answers = {true};
    r.server.setResponder([](const FakeDatagram& d) {
      if (d.bytes == makeRconRequest("pw1", "restart"))
        return FakeAnswer::reply(makePrintReply("\nrestarting\n"));
      return FakeAnswer::silence();
    });
    r.open();
    r.trigger("restart1x1");
    QCOMPARE(r.tail(1), QStringList({"!! -> admin restart"}));
    QVERIFY(r.server.waitForSent(1, 2000));
    r.enterAndWait("anything");
    QCOMPARE(r.tail(2), QStringList({"", "restarting"}));
  }

  void debugitCommandsShowAndResetTheLogs() {
    Rig r;
    r.open();
    consoleLogs().append(LogKind::BadLog, "first fault");
    consoleLogs().append(LogKind::BadLog, "second fault");
    r.enterAndWait("debugit /sb");
    QCOMPARE(r.console->consoleLines(),
             QStringList({"bad log [internal report]:", "--------------------------", "first fault",
                          "second fault", "no response from server"}));
    r.enterAndWait("debugit /rb");
    QVERIFY(consoleLogs().text(LogKind::BadLog).empty());

    r.enterAndWait("debugit /h");
    QCOMPARE(r.console->consoleLines().size(), 13);
    QCOMPARE(r.console->consoleLines()[0], QString("ussage:"));
    QCOMPARE(r.console->consoleLines()[11], QString(59, '-'));

    // "debugit /sv" is local only; in capitals it is an rcon command.
    const std::size_t before = rconSent(r.server).size();
    r.enter("debugit /sv");
    QVERIFY(!r.console->commandPending());
    const QStringList dump = r.console->consoleLines();
    QCOMPARE(dump[0], "Tarvix Version: " + r.main->versionText());
    QCOMPARE(dump[1], QString("anticheatinterval: 150000 ms [2 min]"));
    QCOMPARE(dump[2], QString("anticheatimer: off"));
    QCOMPARE(dump[4], QString("messaginginterval: 1000 ms [0 min]"));
    QCOMPARE(dump[5], QString("messagingtimer: off"));
    QCOMPARE(dump[7], QString("check bans: on"));
    QCOMPARE(dump.last(), QString("serverlist: Serverlists\\Standard"));
    QCOMPARE(rconSent(r.server).size(), before);
    r.enterAndWait("DEBUGIT /SV");
    QCOMPARE(rconSent(r.server).back(), makeRconRequest("pw1", "DEBUGIT /SV"));
  }

  void actionsSendTheirCommandsOnAFreshSocket() {
    Rig r;
    r.open();
    r.addPlayer("Bob", "10.0.0.5");

    r.fx.dialogs().answers = {false, true};
    r.trigger("kick1");  // No: nothing
    r.trigger("kick1");
    QCOMPARE(r.fx.dialogs().questions, QStringList({"sure to kick Bob ?", "sure to kick Bob ?"}));
    QTRY_COMPARE_WITH_TIMEOUT(rconSent(r.server).size(), std::size_t(1), 2000);
    QCOMPARE(rconSent(r.server)[0], makeRconRequest("pw1", "kick \"Bob\""));
    QCOMPARE(r.tail(1), QStringList({"!! -> Bob kicked by admin"}));
    QCOMPARE(r.players()->topLevelItemCount(), 0);

    r.fx.dialogs().answers = {true, true};
    r.trigger("restart3x1");
    QVERIFY(!r.console->isEnabled());  // until the last restart's pause is over
    QTRY_VERIFY_WITH_TIMEOUT(r.console->isEnabled(), 5000);
    r.trigger("crash1");
    QCOMPARE(r.fx.dialogs().questions.mid(2),
             QStringList({"sure to restart 3 times ?", "sure to crash the server ?"}));
    QTRY_COMPARE_WITH_TIMEOUT(rconSent(r.server).size(), std::size_t(6), 2000);
    const auto sent = rconSent(r.server);
    QCOMPARE(std::vector<std::string>(sent.begin() + 1, sent.end()),
             (std::vector<std::string>{
                 makeRconRequest("pw1", "restart"), makeRconRequest("pw1", "restart"),
                 makeRconRequest("pw1", "restart"), makeRconRequest("pw1", "say gogogo!"),
                 makeRconRequest("pw1", "crash")}));
    QCOMPARE(r.tail(5),
             QStringList({"!! -> admin restart", "!! -> admin restart", "!! -> admin restart",
                          "!! -> admin say gogogo!", "!! -> admin crash"}));
    // Each restart went out on its own socket.
    const auto all = r.server.received();
    std::set<std::uint16_t> ports;
    for (const auto& d : all)
      if (d.bytes == makeRconRequest("pw1", "restart")) ports.insert(d.fromPort);
    QCOMPARE(ports.size(), std::size_t(3));

    // Without a selected row kick asks nothing.
    r.players()->clearSelection();
    r.players()->setCurrentItem(nullptr);
    r.trigger("kick1");
    QCOMPARE(r.fx.dialogs().questions.size(), 4);
  }

  void aNameThatWouldSplitACommandOrAFileLineIsRefused() {
    Rig r;
    r.open();
    r.fx.dir().write("bans.txt", "");
    r.addPlayer("Admin\nquit", " ");
    r.fx.dialogs().answers = {true};
    r.trigger("kick1");
    QCOMPARE(r.tail(1), QStringList({"!! -> cannot address player Admin\\x0Aquit"}));
    r.addPlayer("a\"b", "10.0.0.1");
    r.fx.dialogs().answers = {true};
    r.trigger("kick1");
    QCOMPARE(r.tail(1), QStringList({"!! -> cannot address player a\"b"}));
    // "ban player" with a line break and "ban ip" on a never-filled address.
    r.addPlayer("Admin\nquit", " ");
    r.trigger("banplayer1");
    r.trigger("banip1");
    QCOMPARE(r.fx.dialogs().errors.size(), 2);
    QCOMPARE(r.fx.dir().read("bans.txt"), std::string());
    QTest::qWait(100);
    QVERIFY(rconSent(r.server).empty());
  }

  void listButtonsAndItemsOpenTheAdminLists() {
    Rig r;
    r.fx.dir().write("maps.txt", crlf({"Algiers", "dm/mohdm7"}));
    struct {
      MapChangeWindow* maps;
      AdminListWindow* bans;
      AdminListWindow* skins;
      AdminListWindow* messages;
    } lists{r.fx.program().mapChange(), r.fx.program().banList(), r.fx.program().skinList(),
            r.fx.program().messageList()};
    r.open();
    r.find<QToolButton>("BitBtn1")->click();
    QVERIFY(lists.maps->isVisible());
    QCOMPARE(lists.maps->rowCount(), 1);  // shown through its show handler
    r.find<QToolButton>("BitBtn2")->click();
    QVERIFY(lists.bans->isVisible());
    r.find<QToolButton>("BitBtn3")->click();
    QVERIFY(lists.skins->isVisible());
    lists.maps->hide();
    r.trigger("changemap1");
    QVERIFY(lists.maps->isVisible());
    QVERIFY(!lists.messages->isVisible());
    r.trigger("messages1");
    QVERIFY(lists.messages->isVisible());
    for (QWidget* add : {static_cast<QWidget*>(r.fx.program().addMap()),
                         static_cast<QWidget*>(r.fx.program().addBan()),
                         static_cast<QWidget*>(r.fx.program().addSkin()),
                         static_cast<QWidget*>(r.fx.program().addMessage())})
      QVERIFY(!add->isVisible());
    QVERIFY(r.fx.dialogs().errors.isEmpty());
  }

  void fileItemsWriteTheirFiles() {
    Rig r;
    r.open();
    r.addPlayer("Bob", "10.0.0.5");
    r.trigger("banplayer1");
    r.trigger("banip1");
    QCOMPARE(r.fx.dir().read("bans.txt"), crlf({"Bob", "10.0.0.5"}));
    QVERIFY(QFile::remove("bans.txt"));
    r.trigger("banplayer1");
    QCOMPARE(r.fx.dialogs().errors.size(), 1);

    // "save rcon log": every console line, the default extension added.
    r.fx.dialogs().files = {QString::fromStdString(r.fx.dir().path()) + "/mylog"};
    r.trigger("saverconlog1");
    QCOMPARE(r.fx.dialogs().presets, QStringList({"rconlog_1"}));
    std::vector<std::string> lines;
    for (const QString& l : r.console->consoleLines()) lines.push_back(l.toStdString());
    QCOMPARE(r.fx.dir().read("mylog.txt"), crlf(lines));

    // "save rcon password": the console's server and the field's text.
    r.passwordField()->setText("new pw");
    r.trigger("saverconpassword1");
    QVERIFY(r.fx.dir()
                .read("Passwords.txt")
                .ends_with(crlf({"127.0.0.1" + r.server.portText(), "rcon:new pw"})));
  }

  void defaultServerSwitchAimsTheClientsAndSwapsPasswords() {
    Rig r;
    FakeGameServer other;
    r.fx.dir().write("default", crlf({"127.0.0.1", other.portText(), "defpw"}));
    r.open();
    QVERIFY(r.box("CheckBox2")->isVisible());
    r.passwordField()->setText("typed");
    r.box("CheckBox2")->setChecked(true);
    QCOMPARE(r.passwordField()->text(), QString("defpw"));
    QCOMPARE(r.console->consoleLines(), QStringList({"connected to default server: 127.0.0.1:" +
                                                     QString::fromStdString(other.portText())}));
    // All three clients follow: the typed line and both workers' queries.
    r.enterAndWait("status");
    QCOMPARE(rconSent(other), std::vector<std::string>{makeRconRequest("defpw", "status")});
    r.trigger("refresh1");
    QTRY_VERIFY_WITH_TIMEOUT(!r.console->antiCheatRunning(), 5000);
    r.tick("Timer2");
    QTRY_VERIFY_WITH_TIMEOUT(!r.console->announcerRunning(), 5000);
    QCOMPARE(statusQueries(other), 2);

    r.box("CheckBox2")->setChecked(false);
    QCOMPARE(r.passwordField()->text(), QString("typed"));
    QCOMPARE(r.tail(1), QStringList({"connected to server: 127.0.0.1:" +
                                     QString::fromStdString(r.server.portText())}));
    r.enterAndWait("back");
    QCOMPARE(rconSent(r.server).back(), makeRconRequest("typed", "back"));

    r.fx.program().settings().setDefaultServer({});
    r.box("CheckBox2")->setChecked(true);
    QCOMPARE(r.fx.dialogs().messages, QStringList({"No server marked as default !"}));
  }

  void defaultServerIsMatchedByAddressAndPort() {
    Rig r;
    FakeGameServer other;
    r.fx.dir().write("default", crlf({"127.0.0.1", other.portText(), "defpw"}));
    r.console->openRemoteConsole();
    QVERIFY(r.console->isVisible());
    QVERIFY(!r.box("CheckBox2")->isChecked());
    r.enterAndWait("one");
    QCOMPARE(rconSent(r.server).back(), makeRconRequest("pw1", "one"));
    setCurrentPort(r.fx.program().settings(), other.portText());
    r.console->openRemoteConsole();
    QVERIFY(r.box("CheckBox2")->isChecked());
    r.enterAndWait("two");
    QCOMPARE(rconSent(other), std::vector<std::string>{makeRconRequest("defpw", "two")});
  }

  void typedTextTheCodePageCannotHoldIsRefused() {
    Rig r;
    r.open();
    r.commandLine()->insert(QString::fromUtf8("say \xe2\x82\xac \xd0\x96"));
    QVERIFY(r.commandLine()->text().isEmpty());
    r.passwordField()->insert(QString::fromUtf8("\xf0\x9f\x98\x80"));
    QCOMPARE(r.passwordField()->text(), QString("pw1"));
    QTRY_COMPARE(r.fx.dialogs().errors.size(), 2);
    QCOMPARE(r.fx.dialogs().errors[0], codePageRefusal(QString::fromUtf8("\xd0\x96")));
    QCOMPARE(r.fx.dialogs().parents, QList<QWidget*>({r.console, r.console}));
    r.enterAndWait(QString::fromUtf8("say \xe2\x82\xac"));
    QCOMPARE(rconSent(r.server).back(), makeRconRequest("pw1", "say \x80"));
  }

  void intervalItemsAndBoxesReport() {
    Rig r;
    r.open();
    r.trigger("scanevery2minutes1");
    QCOMPARE(r.tail(5), QStringList({"!! -> scanner started", "!! -> scanner interval: 2 minutes",
                                     "!! -> bans: on",
                                     "!! -> info: rightclick \"detect skins\" to change interval",
                                     "!! -> scanner interval 2 minutes"}));
    QVERIFY(r.find<QTimer>("Timer1")->isActive());
    r.box("CheckBox3")->setChecked(false);
    QCOMPARE(r.tail(1), QStringList({"!! -> bans: off"}));

    r.trigger("displayevery10min1");
    QCOMPARE(r.tail(4),
             QStringList({"!! -> show next map: on", "!! -> info: displays next map via console",
                          "!! -> info: rightclick \"show next map\" to change interval",
                          "!! -> display next map every 10 minutes"}));
    QVERIFY(r.find<QTimer>("Timer2")->isActive());
    QCOMPARE(r.variables()[4], QString("messaginginterval: 600000 ms [10 min]"));
    r.box("CheckBox4")->setChecked(false);
    QVERIFY(!r.find<QTimer>("Timer2")->isActive());
    r.box("CheckBox4")->setChecked(true);
    QCOMPARE(r.variables()[4], QString("messaginginterval: 150000 ms [2 min]"));

    r.find<QTimer>("Timer2")->stop();
    r.find<QTimer>("Timer1")->stop();
    r.enter("debugit /sv");
    QCOMPARE(r.console->consoleLines()[1], QString("anticheatinterval: 150000 ms [2 min]"));
    r.box("CheckBox1")->setChecked(false);
    QCOMPARE(r.tail(1), QStringList({"!! -> scanner stoped!"}));
    QVERIFY(!r.find<QTimer>("Timer1")->isActive());
  }

  void timersStartAPassOnlyWhenNoneRuns() {
    Rig r;
    setConfigValue(r.fx.program().settings(), &Config::scanTimeout,
                   60000);  // the status query waits until stopped
    r.console->show();
    QVERIFY(r.console->antiCheatRunning());
    QVERIFY(r.server.waitForCount(1, 2000));
    r.tick("Timer1");
    r.trigger("refresh1");
    r.tick("Timer2");
    QVERIFY(r.console->announcerRunning());
    r.tick("Timer2");
    QTest::qWait(100);
    QCOMPARE(statusQueries(r.server), 2);  // one pass of each kind

    // Hiding stops both and leaves the flags set.
    r.console->hide();
    QVERIFY(r.console->antiCheatRunning());
    QVERIFY(r.console->announcerRunning());
    r.console->show();
    r.trigger("refresh1");
    QTest::qWait(100);
    QCOMPARE(statusQueries(r.server), 2);
    r.enter("debugit /sv");
    QCOMPARE(r.console->consoleLines()[3], QString("anticheatthread: true"));

    // Unticking "detect skins" clears the flag; the ended pass cannot be stopped.
    r.box("CheckBox1")->setChecked(true);
    r.box("CheckBox1")->setChecked(false);
    QVERIFY(!r.console->antiCheatRunning());
    QCOMPARE(consoleLogs().text(LogKind::BadLog),
             std::string("Anticheatthread bad termination\r\n"));
    r.trigger("refresh1");
    QTRY_COMPARE_WITH_TIMEOUT(statusQueries(r.server), 3, 2000);
  }

  void aPassFillsThePlayerListThroughTheWindow() {
    Rig r;
    const std::string dump =
        "\nrate                 : 25000\ndm_playergermanmodel : german_ss\n"
        "dm_playermodel       : american_army\n";
    const std::string table =
        "\nscore ping name lastmsg address\n   12   50 Bob             0 10.0.0.5:12203\n";
    r.server.setResponder([&](const FakeDatagram& d) {
      if (d.bytes == statusRequest())
        return FakeAnswer::reply(makeStatusReply("\\sv_hostname\\x", {{50, "Bob"}}));
      if (d.bytes == makeRconRequest("pw1", "dumpuser \"Bob\""))
        return FakeAnswer::reply(makePrintReply(dump));
      if (d.bytes == makeRconRequest("pw1", "status"))
        return FakeAnswer::reply(makePrintReply(table));
      return FakeAnswer::silence();
    });
    r.open();
    QCOMPARE(r.players()->topLevelItemCount(), 1);
    QStringList row;
    for (int c = 0; c < r.players()->columnCount(); ++c)
      row << r.players()->topLevelItem(0)->text(c);
    QCOMPARE(row,
             QStringList({"Bob", "50 ", "german_ss", "american_army", "25000", "10.0.0.5", "12"}));
  }

  void closingStopsEverythingAtOnce() {
    Rig r;
    setConfigValue(r.fx.program().settings(), &Config::scanTimeout, 60000);
    r.console->show();
    r.tick("Timer2");
    r.enter("waits");
    QVERIFY(r.console->commandPending());
    QVERIFY(r.server.waitForCount(3, 2000));
    r.main->close();  // stops the console's workers
    r.fx.stop();      // and the pending line: no thread is left to join
    r.console = nullptr;
    r.main = nullptr;
    const std::size_t count = r.server.receivedCount();
    QTest::qWait(200);
    QCOMPARE(r.server.receivedCount(), count);
  }

  void rconButtonOpensTheConsole() {
    Rig r;
    setCurrentIp(r.fx.program().settings(), "");
    remoteConsoleButton(*r.main)->click();
    QCOMPARE(r.fx.dialogs().messages, QStringList({"Select a server or mark one as default!"}));
    QVERIFY(!r.console->isVisible());

    r.fx.dir().write("default", crlf({"localhost", r.server.portText(), "defpw"}));
    remoteConsoleButton(*r.main)->click();
    QVERIFY(r.console->isVisible());
    QVERIFY(r.box("CheckBox2")->isChecked());
    QCOMPARE(r.fx.program().settings().currentServer().ip, std::string("localhost"));
    QCOMPARE(r.fx.program().settings().currentServer().port, r.server.portText());
    QCOMPARE(r.console->consoleLines()[0],
             "connected to: localhost:" + QString::fromStdString(r.server.portText()));

    // A current server other than the default one clears "default server".
    setCurrentIp(r.fx.program().settings(), "127.0.0.1");
    remoteConsoleButton(*r.main)->click();
    QVERIFY(!r.box("CheckBox2")->isChecked());
    QCOMPARE(r.tail(1), QStringList({"connected to server: 127.0.0.1:" +
                                     QString::fromStdString(r.server.portText())}));

    QVERIFY(QFile::remove("default"));
    setCurrentIp(r.fx.program().settings(), "");
    remoteConsoleButton(*r.main)->click();
    QCOMPARE(r.fx.dialogs().errors.size(), 1);
  }
};

QTEST_MAIN(TestConsole)
#include "TestConsole.moc"
