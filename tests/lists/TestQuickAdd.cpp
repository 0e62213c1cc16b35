// Quick add and direct connect against fake game servers on loopback.
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "base/Text.h"
#include "components/Clock.h"
#include "components/QtText.h"
#include "protocol/StatusQuery.h"
#include "store/DataFile.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/StandInGame.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

class FixedClock : public Clock {
 public:
  explicit FixedClock(std::chrono::system_clock::time_point t) : t_(t) {}
  std::chrono::system_clock::time_point now() const override { return t_; }

 private:
  std::chrono::system_clock::time_point t_;
};

std::string stdList(const TempDataDir& dir) { return dir.read("Serverlists/Standard"); }

std::string passwordArg(const TempDataDir& dir, const std::string& folder) {
  const std::vector<std::string> args = test::recordedArgs(dir, folder);
  return args.size() > 5 ? args[5] : std::string("(none)");
}

const char* kSpearheadInfo =
    "\\sv_hostname\\^2Beach\\mapname\\obj/obj_team2\\sv_maxclients\\20"
    "\\gamename\\Medal of Honor Spearhead";

// The two windows' controls, found as a user finds them.
QLineEdit* ipField(const QuickAddDialog* q) { return partNamed<QLineEdit>(*q, "LabeledEdit2"); }
QLineEdit* portField(const QuickAddDialog* q) { return partNamed<QLineEdit>(*q, "LabeledEdit3"); }
QLineEdit* nameField(const QuickAddDialog* q) { return partNamed<QLineEdit>(*q, "LabeledEdit1"); }
QPushButton* addServerButton(const QuickAddDialog* q) {
  return partNamed<QPushButton>(*q, "Button1");
}
QLineEdit* ipField(const DirectConnectDialog* c) { return partNamed<QLineEdit>(*c, "Edit1"); }
QLineEdit* portField(const DirectConnectDialog* c) { return partNamed<QLineEdit>(*c, "Edit2"); }
QLineEdit* passwordField(const DirectConnectDialog* c) {
  return partNamed<QLineEdit>(*c, "LabeledEdit1");
}
QPushButton* connectButton(const DirectConnectDialog* c) {
  return partNamed<QPushButton>(*c, "Button1");
}

// Replaces the field's text by typing, the field having the focus.
void typeInto(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

// Shows the button's window and clicks the button with the mouse.
void clickOn(QPushButton* button) {
  button->window()->show();
  QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class TestQuickAdd : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  // Both windows as a user first sees them: title, size, and each control's
  // caption, place and visibility.
  void windowsLookAsBuilt() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    struct Control {
      const char* name;
      const char* text;
      QRect geometry;
      bool visible;
    };
    struct Window {
      QWidget* window;
      const char* title;
      QSize size;
      std::vector<Control> controls;
    };
    const Window windows[] = {
        {app.quickAdd(),
         "quick add",
         {214, 85},
         {{"LabeledEdit2Label", "IP", {10, 8, 130, 14}, true},
          {"LabeledEdit2", "", {10, 22, 130, 21}, true},
          {"LabeledEdit3Label", "Port", {148, 8, 56, 14}, true},
          {"LabeledEdit3", "", {148, 22, 56, 21}, true},
          {"LabeledEdit1Label", "Name", {10, 48, 194, 14}, false},
          {"LabeledEdit1", "", {10, 62, 194, 21}, false},
          {"Button1", "add server", {10, 50, 194, 25}, true},
          {"Button2", "receive server name", {10, 80, 194, 25}, false}}},
        {app.directConnect(),
         "direct connect",
         {214, 126},
         {{"Label1", "IP:Port", {10, 8, 120, 14}, true},
          {"Edit1", "", {10, 22, 130, 21}, true},
          {"Edit2", "", {146, 22, 58, 21}, true},
          {"LabeledEdit1Label", "Password ", {10, 48, 194, 14}, true},
          {"LabeledEdit1", "", {10, 62, 194, 21}, true},
          {"Button1", "connect", {10, 92, 194, 25}, true}}},
    };
    for (const Window& w : windows) {
      w.window->show();
      QCOMPARE(w.window->windowTitle(), QString(w.title));
      QCOMPARE(w.window->size(), w.size);
      for (const Control& c : w.controls) {
        const auto* part = partNamed<QWidget>(*w.window, c.name);
        const QString where = w.window->objectName() + "/" + c.name;
        QVERIFY2(part->property("text").toString() == c.text, qPrintable(where));
        QVERIFY2(part->geometry() == c.geometry, qPrintable(where));
        QVERIFY2(part->isVisible() == c.visible, qPrintable(where));
      }
      w.window->hide();
    }
  }

  // "ip:port" typed into the IP field is split at the first colon: by Enter
  // in quick add, which then adds, by leaving the field (blanks removed) in
  // direct connect. Quick add refuses what names no server, saying why.
  void ipFieldSplitsAtTheFirstColon() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    QuickAddDialog* q = app.quickAdd();
    q->show();
    const struct {
      const char* typed;
      const char* ip;
      const char* port;
      const char* refusal;
    } splits[] = {{"1.2.3.4:5:6", "1.2.3.4", "5:6", "5:6 is not a port (1 to 65535) !"},
                  {"999.1.2.3:42950", "999.1.2.3", "42950",
                   "999.1.2.3 is neither an IPv4 address nor a host name !"},
                  {"a..b", "a..b", "42950", "a..b is neither an IPv4 address nor a host name !"}};
    for (const auto& split : splits) {
      typeInto(ipField(q), split.typed);
      QTest::keyClick(ipField(q), Qt::Key_Return);
      QCOMPARE(ipField(q)->text(), QString(split.ip));
      QCOMPARE(portField(q)->text(), QString(split.port));
      QCOMPARE(fx.dialogs().messages.last(), QString(split.refusal));
    }
    QVERIFY(q->isVisible());  // nothing added: the address waits to be mended
    QCOMPARE(fx.dir().read("Serverlists/Standard"), std::string());
    q->hide();

    DirectConnectDialog* c = app.directConnect();
    c->show();
    c->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(c));
    typeInto(portField(c), " 9");
    typeInto(ipField(c), " 127.0.0.1 : 28960 ");
    QVERIFY(ipField(c)->hasFocus());
    QTest::keyClick(ipField(c), Qt::Key_Tab);
    QVERIFY(!ipField(c)->hasFocus());
    QCOMPARE(ipField(c)->text(), QString("127.0.0.1"));
    QCOMPARE(portField(c)->text(), QString("28960"));
    c->hide();
  }

  void answeringServerIsAddedUnderItsOwnName() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Old", "127.0.0.1", "1"});
    FakeGameServer server;
    server.setReply(makeStatusReply("\\sv_hostname\\^1My Server\\mapname\\dm/mohdm1", {}));
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    QuickAddDialog* q = app.quickAdd();
    q->show();
    typeInto(portField(q), QString::fromStdString(server.portText() + " "));
    typeInto(ipField(q), " 127.0.0.1");
    QTest::keyClick(ipField(q), Qt::Key_Return);  // adds, as the button does
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QVERIFY(fx.dialogs().shown.isEmpty());
    QCOMPARE(server.receivedCount(), std::size_t(1));
    QCOMPARE(server.received()[0].bytes, statusRequest());
    QCOMPARE(stdList(fx.dir()),
             test::crlf({"Old", "127.0.0.1", "1", "^1My Server", "127.0.0.1", server.portText()}));
    QCOMPARE(serverNameList(*f)->count(), 2);
    QCOMPARE(serverRowCount(*f), 2);
    QCOMPARE(f->statusText(), QString("2 servers in Serverlists\\Standard"));
    QTreeWidgetItem* row = serverView(*f)->currentItem();
    QVERIFY(row);
    QCOMPARE(row->text(0), QString("not scanned"));
    QCOMPARE(row->text(2), QString("^1My Server"));
    QVERIFY(!row->isSelected());
    QVERIFY(nameField(q)->text().isEmpty());
    QVERIFY(ipField(q)->text().isEmpty());
    QVERIFY(portField(q)->text().isEmpty());
    QVERIFY(!q->isVisible());
  }

  void silentServerIsAddedOnlyWithYes() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    FakeGameServer silent;
    const QDateTime when(QDate(2003, 7, 8), QTime(21, 5, 9));
    FixedClock fixed(
        std::chrono::system_clock::time_point(std::chrono::milliseconds(when.toMSecsSinceEpoch())));
    setClock(&fixed);
    Application& app = fx.start();
    setConfigValue(app.settings(), &Config::scanTimeout, 250);
    QuickAddDialog* q = app.quickAdd();

    typeInto(ipField(q), "127.0.0.1");
    typeInto(portField(q), QString::fromStdString(silent.portText()));
    clickOn(addServerButton(q));
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QCOMPARE(fx.dialogs().questions, QStringList({"Server does not response - add it ?"}));
    QCOMPARE(stdList(fx.dir()), std::string());
    QVERIFY(!q->isVisible());

    fx.dialogs().answers.push_back(true);
    clickOn(addServerButton(q));
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    const QLocale locale = QLocale::system();
    const std::string name =
        toBytes("Unnamed Server @ " + locale.toString(when.time(), QLocale::LongFormat) + " - " +
                locale.toString(when.date(), QLocale::ShortFormat));
    QCOMPARE(stdList(fx.dir()), test::crlf({name, "127.0.0.1", silent.portText()}));
    QCOMPARE(serverRow(*app.mainWindow(), 0)->text(2), toQString(name));
    setClock(nullptr);
  }

  // The reply is awaited in the background: the windows stay usable, and a
  // second press while one waits neither queries nor adds again.
  void waitsForTheReplyWithoutBlocking() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    FakeGameServer silent;
    Application& app = fx.start();
    setConfigValue(app.settings(), &Config::scanTimeout, 300);
    QuickAddDialog* q = app.quickAdd();
    q->show();
    typeInto(ipField(q), "127.0.0.1");
    typeInto(portField(q), QString::fromStdString(silent.portText()));
    clickOn(addServerButton(q));
    QVERIFY(q->busy());
    QVERIFY(!addServerButton(q)->isEnabled());
    QVERIFY(q->isVisible());
    QCOMPARE(q->cursor().shape(), Qt::BusyCursor);  // a sign of the wait
    clickOn(addServerButton(q));
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QCOMPARE(q->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(silent.receivedCount(), std::size_t(1));
    QCOMPARE(fx.dialogs().questions, QStringList({"Server does not response - add it ?"}));
    QVERIFY(addServerButton(q)->isEnabled());
    QVERIFY(!q->isVisible());

    DirectConnectDialog* c = app.directConnect();
    c->show();
    typeInto(ipField(c), "127.0.0.1");
    typeInto(portField(c), QString::fromStdString(silent.portText()));
    clickOn(connectButton(c));
    QVERIFY(c->busy());
    QVERIFY(!connectButton(c)->isEnabled());
    QCOMPARE(c->cursor().shape(), Qt::BusyCursor);
    clickOn(connectButton(c));
    QTRY_VERIFY_WITH_TIMEOUT(!c->busy(), 10000);
    QCOMPARE(c->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(silent.receivedCount(), std::size_t(2));
    QCOMPARE(fx.dialogs().messages, QStringList({"no response from server!"}));
    QVERIFY(connectButton(c)->isEnabled());
    c->hide();
  }

  void refusalsAndTheInUseText() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Quiet", "127.0.0.1", "1"});
    FakeGameServer server;
    server.setReply(makeStatusReply("\\sv_hostname\\Named\\mapname\\dm/mohdm1", {}));
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    QuickAddDialog* q = app.quickAdd();
    const std::string list = stdList(fx.dir());

    q->show();
    typeInto(ipField(q), "127.0.0.1");
    clickOn(addServerButton(q));
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QCOMPARE(fx.dialogs().messages, QStringList({"please enter ip and port !"}));
    QVERIFY(!q->isVisible());
    QCOMPARE(server.receivedCount(), std::size_t(0));

    // During a scan the name is asked but nothing is added or reported.
    typeInto(portField(q), QString::fromStdString(server.portText()));
    QVERIFY(startWaitingScan(*f, app.settings()));
    clickOn(addServerButton(q));
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    stopScanButton(*f)->click();
    QVERIFY(server.waitForCount(1, 2000));
    QCOMPARE(stdList(fx.dir()), list);
    QCOMPARE(serverRowCount(*f), 1);
    QCOMPARE(fx.dialogs().shown.size(), 1);

    // A list held by a reader: the status bar says so, nothing is added.
    {
      ReadHold hold("Serverlists\\Standard");
      clickOn(addServerButton(q));
      QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    }
    QCOMPARE(f->statusText(),
             QString("Serverlist is in use...please restart Tarvix to add a server !"));
    QCOMPARE(serverRowCount(*f), 1);
    QCOMPARE(stdList(fx.dir()), list);

    // A stale name from an earlier answer never names a silent server.
    FakeGameServer silent;
    setConfigValue(app.settings(), &Config::scanTimeout, 250);
    f->setStatusText("");
    typeInto(ipField(q), "127.0.0.1");
    typeInto(portField(q), QString::fromStdString(silent.portText()));
    clickOn(addServerButton(q));
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QCOMPARE(fx.dialogs().questions, QStringList({"Server does not response - add it ?"}));
    QCOMPARE(stdList(fx.dir()), list);
  }

  void directConnectChecksTheServerFirst() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    FakeGameServer silent;
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    DirectConnectDialog* c = app.directConnect();
    setConfigValue(app.settings(), &Config::scanTimeout, 250);
    c->show();

    typeInto(ipField(c), "localhost");
    clickOn(connectButton(c));
    QTRY_VERIFY_WITH_TIMEOUT(!c->busy(), 10000);
    QCOMPARE(fx.dialogs().messages, QStringList({"please enter a valid ip!"}));
    QCOMPARE(silent.receivedCount(), std::size_t(0));
    QVERIFY(app.settings().currentServer().ip.empty());

    // No answer: the current server changes all the same.
    typeInto(ipField(c), "127.0.0.1 ");
    typeInto(portField(c), QString::fromStdString(silent.portText()));
    editionLabel(*f)->setText("Medal of Honor");
    clickOn(connectButton(c));
    QTRY_VERIFY_WITH_TIMEOUT(!c->busy(), 10000);
    QCOMPARE(fx.dialogs().messages.last(), QString("no response from server!"));
    QCOMPARE(app.settings().currentServer().ip, std::string("127.0.0.1"));
    QCOMPARE(app.settings().currentServer().port, silent.portText());
    QCOMPARE(editionLabel(*f)->text(), QString("Medal of Honor"));
    QVERIFY(c->isVisible());
    QCOMPARE(silent.receivedCount(), std::size_t(1));
    c->hide();
  }

  void directConnectStartsTheGameWithTheTypedPassword() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    FakeGameServer server;
    server.setReply(makeStatusReply(kSpearheadInfo, {{30, "A"}}));
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    DirectConnectDialog* c = app.directConnect();
    setConfigValue(app.settings(), &Config::spearheadPath,
                   standIn(fx.dir(), "sh/moh_spearhead.exe"));
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe"));
    editionLabel(*f)->setText("Medal of Honor");
    c->show();
    typeInto(ipField(c), "127.0.0.1");
    typeInto(portField(c), QString::fromStdString(server.portText()));
    typeInto(passwordField(c), "typed pw");
    clickOn(connectButton(c));
    QTRY_VERIFY_WITH_TIMEOUT(!c->busy(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(f->gamesRunning(), 0, 10000);  // the game has ended
    QVERIFY(fx.dialogs().shown.isEmpty());
    QCOMPARE(editionLabel(*f)->text(), QString("Spearhead"));
    QCOMPARE(passwordArg(fx.dir(), "sh"), std::string("typed pw"));
    QVERIFY(!fx.dir().exists("aa/args.txt"));
    QVERIFY(!c->isVisible());
  }

  void directConnectWithAnEmptyPasswordUsesThePasswordFile() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    FakeGameServer server;
    server.setReply(
        makeStatusReply("\\sv_hostname\\Plain\\mapname\\dm/mohdm6\\sv_maxclients\\8", {}));
    fx.dir().writePasswords({"127.0.0.1" + server.portText(), "fromfile"});
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    DirectConnectDialog* c = app.directConnect();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe"));
    c->show();
    typeInto(ipField(c), "127.0.0.1");
    typeInto(portField(c), QString::fromStdString(server.portText()));
    clickOn(connectButton(c));
    QTRY_VERIFY_WITH_TIMEOUT(!c->busy(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(f->gamesRunning(), 0, 10000);  // the game has ended
    QVERIFY(fx.dialogs().shown.isEmpty());
    QCOMPARE(editionLabel(*f)->text(), QString("Medal of Honor"));
    QCOMPARE(passwordArg(fx.dir(), "aa"), std::string("fromfile"));
    QVERIFY(!c->isVisible());
  }
};

QTEST_MAIN(TestQuickAdd)
#include "TestQuickAdd.moc"
