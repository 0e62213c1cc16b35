// Connect: the checks and messages before a start, the password look-up and
// reset, the exact arguments and working folder the game receives (through
// stand-in scripts named as the game executables), the start through wine,
// the wait that keeps the windows working, and every path that connects.
#include <sys/stat.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "app/core/GameLaunch.h"
#include "base/Text.h"
#include "store/DataFile.h"
#include "support/ConfigLines.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/StandInGame.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

std::vector<std::string> expectedArgs(const std::string& ip, const std::string& port,
                                      const std::string& name, const std::string& password) {
  return splitWindowsCommandLine(gameCommandLine(ip, port, name, password));
}

void currentServer(Application& app, const QString& edition) {
  setCurrentIp(app.settings(), "127.0.0.1");
  setCurrentPort(app.settings(), "12203");
  app.mainWindow()->showEdition(edition);
}

// "connect", then the end of the game it started (if any).
void connectAndWait(MainWindow* f) {
  f->connectToServer();
  QTRY_COMPARE_WITH_TIMEOUT(f->gamesRunning(), 0, 10000);
}

}  // namespace

class TestLaunch : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void baseGameGetsTheExactArgumentsAndItsFolder() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "mohaa/MOHAA.exe"));
    setConfigValue(app.settings(), &Config::playerName, "Player");
    currentServer(app, "Medal of Honor");
    f->setAutoScan(true);
    connectAndWait(f);
    QVERIFY(fx.dialogs().shown.isEmpty());
    QCOMPARE(recordedArgs(fx.dir(), "mohaa"),
             (std::vector<std::string>{"connect", "127.0.0.1:12203", "+name", "Player", "+password",
                                       "", "+set", "cl_playintro", "0", "+set", "ui_skip_eamovie",
                                       "1", "+set", "ui_skip_titlescreen", "1", "+set",
                                       "ui_skip_legalscreen", "1"}));
    QCOMPARE(recordedCwd(fx.dir(), "mohaa"), fx.dir().path() + "/mohaa");
    QVERIFY(!f->autoScanRunning());
    QCOMPARE(f->gamesRunning(), 0);
  }

  void spearheadAndQuotesAndShellCharactersPassUnchanged() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe"));
    setConfigValue(app.settings(), &Config::spearheadPath,
                   standIn(fx.dir(), "sh/moh_spearhead.exe"));
    setConfigValue(app.settings(), &Config::playerName, "Big \"Boss\" $(touch pwned);`id`");
    setConfigValue(app.settings(), &Config::serverPassword, "p\"w d");
    currentServer(app, "Spearhead");
    connectAndWait(f);
    QVERIFY(fx.dialogs().shown.isEmpty());
    QVERIFY(!fx.dir().exists("aa/args.txt"));
    QCOMPARE(recordedArgs(fx.dir(), "sh"),
             expectedArgs("127.0.0.1", "12203", "Big \"Boss\" $(touch pwned);`id`", "p\"w d"));
    QCOMPARE(recordedCwd(fx.dir(), "sh"), fx.dir().path() + "/sh");
    QVERIFY(!fx.dir().exists("sh/pwned") && !fx.dir().exists("pwned"));
  }

  void pathAndEditionChecksShowTheirMessages() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();

    connectAndWait(f);
    QCOMPARE(fx.dialogs().messages, QStringList({"Please select a server !"}));

    // Empty, missing and wrong paths.
    currentServer(app, "Medal of Honor");
    const std::string other = standIn(fx.dir(), "x/quake3.exe");
    for (const std::string& path : {std::string(), fx.dir().path() + "/none/MOHAA.exe", other}) {
      fx.dialogs().messages.clear();
      app.options()->hide();
      setConfigValue(app.settings(), &Config::mohaaPath, path);
      connectAndWait(f);
      QCOMPARE(fx.dialogs().messages, QStringList({"Please select MoHAA.exe"}));
      QVERIFY(app.options()->isVisible());
    }
    app.options()->hide();
    fx.dialogs().messages.clear();
    currentServer(app, "Spearhead");
    setConfigValue(app.settings(), &Config::spearheadPath, fx.dir().path() + "/MOHAA.exe");
    connectAndWait(f);
    QCOMPARE(fx.dialogs().messages, QStringList({"Please select Spearhed.exe !"}));
    QVERIFY(app.options()->isVisible());
    app.options()->hide();

    // No edition (the last query had no answer): nothing at all.
    fx.dialogs().messages.clear();
    fx.dialogs().shown.clear();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "ok/MOHAA.exe"));
    currentServer(app, "");
    connectAndWait(f);
    QVERIFY(fx.dialogs().shown.isEmpty());
    QVERIFY(!fx.dir().exists("ok/args.txt"));

    // A lower-case file name is accepted.
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "lc/mohaa.exe"));
    currentServer(app, "Medal of Honor");
    connectAndWait(f);
    QVERIFY(fx.dialogs().shown.isEmpty());
    QVERIFY(fx.dir().exists("lc/args.txt"));
  }

  void nonNativeGamesStartThroughWineOrFail() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    const QByteArray path = qgetenv("PATH");
    // Not runnable: a script without run permission, and no wine on the PATH.
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe", 0, 0644));
    setConfigValue(app.settings(), &Config::playerName, "P");
    currentServer(app, "Medal of Honor");
    std::filesystem::create_directories(fx.dir().path() + "/emptybin");
    qputenv("PATH", QByteArray::fromStdString(fx.dir().path() + "/emptybin"));
    connectAndWait(f);
    const QString noWine =
        "\nWine was not found: the game is a Windows program and needs Wine to run.";
    QCOMPARE(fx.dialogs().messages, QStringList({"Error starting MoHAA !" + noWine}));
    setConfigValue(app.settings(), &Config::spearheadPath,
                   standIn(fx.dir(), "sh/moh_spearhead.exe", 0, 0644));
    currentServer(app, "Spearhead");
    connectAndWait(f);
    QCOMPARE(fx.dialogs().messages.last(), "Error starting Spearhead !" + noWine);

    // With a wine on the PATH it is started through wine, from its folder.
    standIn(fx.dir(), "bin/wine");
    qputenv("PATH",
            QByteArray::fromStdString(fx.dir().path() + "/emptybin:" + fx.dir().path() + "/bin"));
    fx.dialogs().messages.clear();
    fx.dialogs().shown.clear();
    connectAndWait(f);
    qputenv("PATH", path);
    QVERIFY(fx.dialogs().shown.isEmpty());
    std::vector<std::string> expected = {fx.dir().path() + "/sh/moh_spearhead.exe"};
    for (const std::string& a : expectedArgs("127.0.0.1", "12203", "P", "")) expected.push_back(a);
    QCOMPARE(recordedArgs(fx.dir(), "bin"), expected);
    QCOMPARE(recordedCwd(fx.dir(), "bin"), fx.dir().path() + "/sh");
  }

  void passwordLookupAndReset() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writePasswords({"127.0.0.112203", "first", "127.0.0.112203", "second",
                             "127.0.0.112203", "RCON:admin", "127.0.0.19", "other"});
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe"));
    setConfigValue(app.settings(), &Config::playerName, "P");
    currentServer(app, "Medal of Honor");

    // The last join record is used, never the rcon one; then the password
    // starts again from the Options window's field (empty: never shown).
    connectAndWait(f);
    QCOMPARE(recordedArgs(fx.dir(), "aa")[5], std::string("second"));
    QCOMPARE(app.settings().config().serverPassword, std::string());

    // With a password in the Options window the file is not consulted, and
    // it stays for the next connect.
    app.options()->show();
    partNamed<QLineEdit>(*app.options(), "LabeledEdit2")->setText("typed");
    app.options()->hide();
    connectAndWait(f);
    QCOMPARE(recordedArgs(fx.dir(), "aa")[5], std::string("typed"));
    QCOMPARE(app.settings().config().serverPassword, std::string("typed"));

    // A password file that cannot be read stops the connect with its error.
    partNamed<QLineEdit>(*app.options(), "LabeledEdit2")->clear();
    deleteFile("Passwords.txt");
    deleteFile("aa/args.txt");
    connectAndWait(f);
    QCOMPARE(fx.dialogs().errors.size(), 1);
    QVERIFY(!fx.dir().exists("aa/args.txt"));
  }

  void configPasswordIsUsedOnceWhenOptionsWereNeverShown() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writeLines("Config",
                        test::configLines("timer off", "Serverlists\\Standard", "clantags off", "P",
                                          "fromconfig", "500", "fast"));
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe"));
    currentServer(app, "Medal of Honor");
    connectAndWait(f);
    QCOMPARE(recordedArgs(fx.dir(), "aa")[5], std::string("fromconfig"));
    connectAndWait(f);
    QCOMPARE(recordedArgs(fx.dir(), "aa")[5], std::string(""));
  }

  void windowsKeepWorkingWhileTheGameRuns() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe", 0.4));
    currentServer(app, "Medal of Honor");
    int runningSeen = -1;
    bool timerRan = false;
    QTimer::singleShot(50, [&] {
      timerRan = true;
      runningSeen = f->gamesRunning();
    });
    f->connectToServer();
    // Connect returns at once; the game's end is seen from the event loop.
    QCOMPARE(f->gamesRunning(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(f->gamesRunning(), 0, 10000);
    QVERIFY(timerRan);
    QCOMPARE(runningSeen, 1);
    QVERIFY(fx.dir().exists("aa/args.txt"));
    QCOMPARE(f->gamesRunning(), 0);
  }

  void connectDuringASelectionWaitsForItsEdition() {
    test::FakeGameServer server;
    server.queueReply(test::makeStatusReply("\\sv_hostname\\Spear\\mapname\\dm/mp_malta_dm"
                                            "\\version\\Medal of Honor Spearhead 2.15"
                                            "\\sv_maxclients\\8",
                                            {}),
                      300);
    ProgramFixture fx;
    fx.dir().writeInstallation({"Spear", test::FakeGameServer::host(), server.portText()});
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe"));
    setConfigValue(app.settings(), &Config::spearheadPath,
                   standIn(fx.dir(), "sh/moh_spearhead.exe"));
    editionLabel(*f)->setText("Medal of Honor");  // the server queried before
    serverView(*f)->setCurrentItem(serverRow(*f, 0));
    QVERIFY(f->detailsQueryPending());
    f->connectToServer();
    QVERIFY(!fx.dir().exists("aa/args.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(fx.dir().exists("sh/args.txt"), 5000);
    QCOMPARE(editionLabel(*f)->text(), QString("Spearhead"));
    QVERIFY(!fx.dir().exists("aa/args.txt"));
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void everyPathReachesConnect() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    const QString noServer = "Please select a server !";
    auto count = [&] { return fx.dialogs().messages.count(noServer); };

    partNamed<QToolButton>(*f, "ToolButton1")->click();
    QCOMPARE(count(), 1);
    partNamed<QAction>(*f, "connect1")->trigger();
    QCOMPARE(count(), 2);
    partNamed<QAction>(*f, "Connectwithserver1")->trigger();
    QCOMPARE(count(), 3);
    // On the empty area, so no row gets selected and queried.
    const QPoint below(5, serverView(*f)->viewport()->height() - 3);
    QTest::mouseDClick(serverView(*f)->viewport(), Qt::LeftButton, {}, below);
    QTRY_COMPARE_WITH_TIMEOUT(count(), 4, 2000);
    f->activateWindow();
    serverView(*f)->setFocus();
    QTest::keyClick(serverView(*f), Qt::Key_Return);
    QCOMPARE(count(), 5);
    QTest::keyClick(serverView(*f), Qt::Key_Enter);
    QCOMPARE(count(), 6);
    QTest::mouseDClick(playerView(*f)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE_WITH_TIMEOUT(count(), 7, 2000);
    // The player view connects only while the server view has rows.
    serverView(*f)->clear();
    QTest::mouseDClick(playerView(*f)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::qWait(50);
    QCOMPARE(count(), 7);

    // The windows the launch area opens.
    partNamed<QToolButton>(*f, "ToolButton4")->click();
    QVERIFY(app.options()->isVisible());
    app.options()->hide();
    partNamed<QAction>(*f, "options2")->trigger();
    QVERIFY(app.options()->isVisible());
    app.options()->hide();
    partNamed<QToolButton>(*f, "ToolButton10")->click();
    QVERIFY(app.directConnect()->isVisible());
    app.directConnect()->hide();
    partNamed<QAction>(*f, "directconnect1")->trigger();
    QVERIFY(app.directConnect()->isVisible());
    app.directConnect()->hide();
    QVERIFY(startWaitingScan(*f, app.settings()));
    partNamed<QAction>(*f, "addserver1")->trigger();
    QVERIFY(!app.quickAdd()->isVisible());
    stopScanButton(*f)->click();
    partNamed<QAction>(*f, "addserver1")->trigger();
    QVERIFY(app.quickAdd()->isVisible());
    app.quickAdd()->hide();
    f->hide();
  }
};

QTEST_MAIN(TestLaunch)
#include "TestLaunch.moc"
