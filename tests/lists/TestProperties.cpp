// Properties window: passwords, default server, ping field and ping graph.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

#include "base/ConsoleLogs.h"
#include "base/HomePage.h"
#include "base/Text.h"
#include "components/HostChecker.h"
#include "components/LinkLabel.h"
#include "components/PingGraph.h"
#include "components/QtText.h"
#include "support/SettingsEdits.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

const QColor kNavy(0, 0, 128), kGreen(0, 128, 0), kPurple(128, 0, 128), kRed(255, 0, 0);

std::string answered(int ms) {
  return "Ping for 127.0.0.1, received 1 bytes from 127.0.0.1 in " + std::to_string(ms) + "ms";
}

const std::vector<std::string> kHeader = {"// Tarvix 1.11 password list", "//", ""};

// The properties window's controls, found by objectName.
QLineEdit* serverPasswordEdit(const ServerPropertiesWindow* w) {
  return partNamed<QLineEdit>(*w, "LabeledEdit1");
}
QLineEdit* rconPasswordEdit(const ServerPropertiesWindow* w) {
  return partNamed<QLineEdit>(*w, "LabeledEdit3");
}
QPushButton* setPasswordsButton(const ServerPropertiesWindow* w) {
  return partNamed<QPushButton>(*w, "Button2");
}
QCheckBox* rconDefaultCheckBox(const ServerPropertiesWindow* w) {
  return partNamed<QCheckBox>(*w, "CheckBox1");
}
QLineEdit* pingEdit(const ServerPropertiesWindow* w) {
  return partNamed<QLineEdit>(*w, "LabeledEdit2");
}
PingGraph* pingGraph(const ServerPropertiesWindow* w) {
  return partNamed<PingGraph>(*w, "PaintBox1");
}
QLineEdit* addressEdit(const ServerPropertiesWindow* w) {
  return partNamed<QLineEdit>(*w, "Edit1");
}
LinkLabel* webLink(const ServerPropertiesWindow* w) { return partNamed<LinkLabel>(*w, "Legacy1"); }
QLineEdit* versionEdit(const ServerPropertiesWindow* w) {
  return partNamed<QLineEdit>(*w, "LabeledEdit4");
}
QPlainTextEdit* mapRotationMemo(const ServerPropertiesWindow* w) {
  return partNamed<QPlainTextEdit>(*w, "Memo1");
}
QAction* resetAllPasswordsAction(const ServerPropertiesWindow* w) {
  return partNamed<QAction>(*w, "resetallpasswords1");
}
HostChecker* hostChecker(const ServerPropertiesWindow* w) {
  return partNamed<HostChecker>(*w, "HostChecker1");
}

struct Windows {
  explicit Windows(Application& app) : program(app) {}
  // Shows the properties window for a server as the row selection would.
  void showFor(const std::string& ip, const std::string& port) {
    setCurrentIp(program.settings(), ip);
    setCurrentPort(program.settings(), port);
    props->hide();
    props->show();
  }
  Application& program;
  MainWindow* main = program.mainWindow();
  OptionsWindow* options = program.options();
  ServerPropertiesWindow* props = program.serverProperties();
};

}  // namespace

class TestProperties : public QObject {
  Q_OBJECT

 private slots:
  void init() { consoleLogs().clear(LogKind::BadLog); }

  void showingReadsPasswordsAndLeavesOtherDefaultAlone() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writePasswords({"10.0.0.112203", "join1", "10.0.0.112203", "rcon:secret",
                             "10.0.0.112203", "join2", "10.0.0.212203", "other"});
    const std::string def = crlf({"10.0.0.9", "12203", "adminpw"});
    fx.dir().write("default", def);
    Windows w(fx.start());

    w.showFor("10.0.0.1", "12203");
    QCOMPARE(serverPasswordEdit(w.props)->text(), QString("join2"));
    QCOMPARE(rconPasswordEdit(w.props)->text(), QString("secret"));
    QVERIFY(!rconDefaultCheckBox(w.props)->isChecked());
    QCOMPARE(w.program.settings().defaultServer().ip, std::string("10.0.0.9"));
    QCOMPARE(w.program.settings().defaultServer().rconPassword, std::string("adminpw"));
    // Graph reset on showing.
    QCOMPARE(w.props->graphX(), 250);
    QCOMPARE(w.props->graphY(), 20);
    QCOMPARE(pingGraph(w.props)->penPos(), QPoint(250, 21));

    w.props->hide();
    QVERIFY(fx.dialogs().questions.isEmpty());
    QCOMPARE(fx.dir().read("default"), def);

    // The default server is shown checked; an empty default file keeps what
    // the settings hold.
    w.showFor("10.0.0.9", "12203");
    QVERIFY(rconDefaultCheckBox(w.props)->isChecked());
    rconDefaultCheckBox(w.props)->setChecked(false);  // not a click: writes nothing
    w.props->hide();
    QCOMPARE(fx.dir().read("default"), def);
    fx.dir().write("default", "");
    w.showFor("10.0.0.9", "12203");
    QVERIFY(rconDefaultCheckBox(w.props)->isChecked());
    QCOMPARE(w.program.settings().defaultServer().ip, std::string("10.0.0.9"));
  }

  void hidingAsksAndSavesRconRecordFirst() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writePasswords({"1.2.3.480", "join"});
    Windows w(fx.start());

    w.showFor("1.2.3.4", "80");
    rconPasswordEdit(w.props)->setText("newrcon");
    fx.dialogs().answers = {false};
    w.props->hide();
    QCOMPARE(fx.dialogs().questions, QStringList{"save changed passwords ?"});
    QCOMPARE(splitLines(fx.dir().read("Passwords.txt")).size(), std::size_t(5));

    w.showFor("1.2.3.4", "80");
    QCOMPARE(rconPasswordEdit(w.props)->text(), QString());  // declined edits are gone
    rconPasswordEdit(w.props)->setText("newrcon");
    fx.dialogs().answers = {true};
    setCurrentIp(w.program.settings(), "9.9.9.9");  // the selection moved on meanwhile
    w.props->hide();
    const std::vector<std::string> lines = splitLines(fx.dir().read("Passwords.txt"));
    const std::vector<std::string> tail(lines.begin() + 5, lines.end());
    QCOMPARE(tail, (std::vector<std::string>{"1.2.3.480", "rcon:newrcon", "1.2.3.480", "join"}));

    // Saved texts are remembered: hiding again asks nothing.
    w.showFor("1.2.3.4", "80");
    QCOMPARE(rconPasswordEdit(w.props)->text(), QString("newrcon"));
    fx.dialogs().questions.clear();
    serverPasswordEdit(w.props)->setText("");
    setPasswordsButton(w.props)->click();
    w.props->hide();
    QVERIFY(fx.dialogs().questions.isEmpty());
    w.showFor("1.2.3.4", "80");
    QCOMPARE(serverPasswordEdit(w.props)->text(), QString());  // an empty join password clears it
  }

  void rconDefaultMarksTheShownServer() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("default", "");
    Windows w(fx.start());

    w.showFor("10.1.1.1", "12203");
    rconPasswordEdit(w.props)->setText("pw1");
    rconDefaultCheckBox(w.props)->click();
    QCOMPARE(fx.dir().read("default"), crlf({"10.1.1.1", "12203", "pw1"}));
    rconDefaultCheckBox(w.props)->click();
    QCOMPARE(fx.dir().read("default"), std::string());

    // Checked at hiding: the shown server with the rcon text, wherever the
    // main window's selection is now.
    rconDefaultCheckBox(w.props)->click();
    rconPasswordEdit(w.props)->setText("pw2");
    setCurrentIp(w.program.settings(), "10.2.2.2");
    setCurrentPort(w.program.settings(), "1");
    fx.dialogs().answers = {false};
    w.props->hide();
    QCOMPARE(fx.dir().read("default"), crlf({"10.1.1.1", "12203", "pw2"}));
  }

  void resetAllPasswords() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().writePasswords({"1.1.1.11", "j", "1.1.1.11", "rcon:r"});
    Windows w(fx.start());
    w.showFor("1.1.1.1", "1");
    QCOMPARE(rconPasswordEdit(w.props)->text(), QString("r"));

    fx.dialogs().answers = {false};
    resetAllPasswordsAction(w.props)->trigger();
    QCOMPARE(fx.dialogs().questions.last(),
             QString("sure to reset all passwords ?\nthis will take effect on all servers!"));
    QCOMPARE(splitLines(fx.dir().read("Passwords.txt")).size(), std::size_t(7));

    fx.dialogs().answers = {true};
    resetAllPasswordsAction(w.props)->trigger();
    QCOMPARE(fx.dir().read("Passwords.txt"), crlf(kHeader));
    QCOMPARE(serverPasswordEdit(w.props)->text(), QString());
    QCOMPARE(rconPasswordEdit(w.props)->text(), QString());
    fx.dialogs().questions.clear();
    w.props->hide();  // nothing changed since the reset
    QVERIFY(fx.dialogs().questions.isEmpty());
  }

  void missingFilesGiveErrorBoxes() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    ::remove("Passwords.txt");
    ::remove("default");
    Windows w(fx.start());
    w.program.settings().setDefaultServer({"kept", "", ""});
    w.showFor("1.1.1.1", "1");
    QCOMPARE(fx.dialogs().errors.size(), 2);
    QVERIFY(fx.dialogs().errors[0].contains("default"));
    QVERIFY(fx.dialogs().errors[1].contains("Passwords.txt"));
    QVERIFY(w.props->isVisible());
    QCOMPARE(w.program.settings().defaultServer().ip, std::string("kept"));
    QCOMPARE(w.props->graphX(), 250);  // the other steps still ran

    serverPasswordEdit(w.props)->setText("x");
    setPasswordsButton(w.props)->click();
    QCOMPARE(fx.dialogs().errors.size(), 3);
    QVERIFY(!fx.dir().exists("Passwords.txt"));
    fx.dialogs().answers = {false};
    w.props->hide();
  }

  void pingFieldAndGraphSteps() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("default", "");
    Windows w(fx.start());
    w.showFor("127.0.0.1", "12203");
    // The test feeds the lines itself.
    hostChecker(w.props)->setAutoCheck(false);
    QObject::disconnect(hostChecker(w.props), &HostChecker::lineLogged, nullptr, nullptr);
    PingGraph* graph = pingGraph(w.props);
    QLineEdit* field = pingEdit(w.props);
    auto pixel = [&](int x, int y) { return graph->canvas().pixelColor(x, y); };

    w.props->showPingLine(answered(45));
    QCOMPARE(field->text(), QString("45"));
    QCOMPARE(field->palette().color(QPalette::Text), kGreen);
    // The verdict line draws the previous value again.
    w.props->showPingLine("No link to 127.0.0.1.");
    QCOMPARE(field->text(), QString("45"));
    QCOMPARE(w.props->graphX(), 248);
    QCOMPARE(w.props->graphY(), 16);
    QCOMPARE(pixel(248, 16), kNavy);

    w.props->showPingLine(answered(120));
    QCOMPARE(field->palette().color(QPalette::Text), kRed);
    QCOMPARE(w.props->graphY(), 15);
    QCOMPARE(pixel(247, 15), kPurple);
    w.props->showPingLine(answered(75));
    QCOMPARE(w.props->graphY(), 11);
    QCOMPARE(pixel(246, 11), kGreen);
    w.props->showPingLine(answered(3000));
    QCOMPARE(w.props->graphY(), 1);
    QCOMPARE(pixel(245, 1), kRed);
    QVERIFY(consoleLogs().text(LogKind::BadLog).empty());

    // Not a number: black, nothing drawn, reported once.
    w.props->showPingLine("Ping for 127.0.0.1, received 1 bytes from 127.0.0.1 in ?ms");
    QCOMPARE(field->text(), QString("?"));
    QCOMPARE(field->palette().color(QPalette::Text), QColor(0, 0, 0));
    QCOMPARE(w.props->graphY(), 1);
    QCOMPARE(pixel(244, 1), graph->background());
    QCOMPARE(consoleLogs().text(LogKind::BadLog), std::string("error in grafix: ping\r\n"));

    // Run to the left edge; the next line clears the graph and starts over.
    w.props->showPingLine(answered(45));
    for (int i = 0; i < 300 && w.props->graphX() > 0; ++i) w.props->showPingLine(answered(45));
    QCOMPARE(w.props->graphX(), 0);
    QCOMPARE(pixel(10, 16), kNavy);
    w.props->showPingLine(answered(75));
    QCOMPARE(w.props->graphX(), 250);
    QCOMPARE(pixel(10, 16), graph->background());
    QCOMPARE(pixel(245, 1), graph->background());

    // Double-click: cleared, pen at x 250 at the current height.
    w.props->showPingLine(answered(75));
    w.props->showPingLine(answered(75));
    QCOMPARE(pixel(248, 11), kGreen);
    QTest::mouseDClick(graph, Qt::LeftButton);
    QCOMPARE(w.props->graphX(), 250);
    QCOMPARE(graph->penPos(), QPoint(250, 11));
    QCOMPARE(pixel(248, 11), graph->background());
    fx.dialogs().answers = {false};
    w.props->hide();
  }

  void hostCheckerRunsWhileShown() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("default", "");
    Windows w(fx.start());
    setConfigValue(w.program.settings(), &Config::scanTimeout, 700);
    w.showFor("127.0.0.1", "12203");
    HostChecker* checker = hostChecker(w.props);
    QVERIFY(checker->autoCheck());
    QCOMPARE(checker->hostName(), std::string("127.0.0.1"));
    QCOMPARE(int(checker->autoCheckPeriod()), 700);
    // Every report of the checker (answered or not) reaches the graph.
    QTRY_VERIFY_WITH_TIMEOUT(w.props->graphX() < 250, 10000);
    w.props->close();
    QVERIFY(!checker->autoCheck());
    QVERIFY(!w.props->isVisible());
  }

  void mainWindowOpensRefreshesAndClosesIt() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("default", "");
    fx.dir().writePasswords({"5.5.5.55", "five"});
    Windows w(fx.start());
    setCurrentIp(w.program.settings(), "5.5.5.5");
    setCurrentPort(w.program.settings(), "5");
    actionNamed(*w.main, "properties1")->trigger();
    QVERIFY(w.props->isVisible());
    QCOMPARE(serverPasswordEdit(w.props)->text(), QString("five"));

    // "properties" again re-reads: the unsaved edit is offered, declined, gone.
    serverPasswordEdit(w.props)->setText("edited");
    fx.dialogs().answers = {false};
    actionNamed(*w.main, "properties1")->trigger();
    QCOMPARE(fx.dialogs().questions, QStringList{"save changed passwords ?"});
    QCOMPARE(serverPasswordEdit(w.props)->text(), QString("five"));

    // Selecting another server shows it again, still on top and in front of
    // the main window (its transient), which takes the focus back.
    w.main->show();
    setCurrentIp(w.program.settings(), "6.6.6.6");
    emit w.main->propertiesRefreshRequested();
    QVERIFY(w.props->isVisible());
    QVERIFY(w.props->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(w.props->windowHandle()->transientParent());
    QCOMPARE(w.props->windowHandle()->transientParent(), w.main->windowHandle());
    QCOMPARE(serverPasswordEdit(w.props)->text(), QString());

    // Details shown by the main window reach the fields and the link label.
    emit w.main->detailsShown({"5.5.5.5:5", "1.11",
                               QStringList{"maps in rotation:", "-------------------", "dm/a"},
                               "www.clan.example", "http://www.clan.example"});
    QCOMPARE(addressEdit(w.props)->text(), QString("5.5.5.5:5"));
    QCOMPARE(versionEdit(w.props)->text(), QString("1.11"));
    QCOMPARE(mapRotationMemo(w.props)->toPlainText(),
             QString("maps in rotation:\n-------------------\ndm/a"));
    QCOMPARE(webLink(w.props)->text(), QString("www.clan.example"));
    QCOMPARE(webLink(w.props)->target(), QUrl("http://www.clan.example"));
    QCOMPARE(webLink(w.props)->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(webLink(w.props)->activeColour(), QColor(0, 128, 128));
    QCOMPARE(webLink(w.props)->font().family(), QString("Tahoma"));
    QVERIFY(!webLink(w.props)->font().bold());

    // A graph reset of the row selection clears the box and moves the pen.
    QObject::disconnect(hostChecker(w.props), &HostChecker::lineLogged, nullptr, nullptr);
    w.props->showPingLine(answered(45));
    w.props->showPingLine(answered(45));
    emit w.main->graphReset(250, QPoint(97, 20));
    QCOMPARE(pingGraph(w.props)->penPos(), QPoint(97, 20));
    QCOMPARE(pingGraph(w.props)->canvas().pixelColor(248, 16), pingGraph(w.props)->background());

    // Connect closes it first.
    setCurrentIp(w.program.settings(), "");
    w.main->connectToServer();
    QVERIFY(!w.props->isVisible());
    QVERIFY(!hostChecker(w.props)->autoCheck());
    QCOMPARE(fx.dialogs().messages.last(), QString("Please select a server !"));

    // The Options window's link leads to the home page.
    QCOMPARE(partNamed<LinkLabel>(*w.options, "Legacy2")->target(), QUrl(toQString(kHomePage)));
  }
};

QTEST_MAIN(TestProperties)
#include "TestProperties.moc"
