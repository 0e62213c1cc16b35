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
#include "lists/LabeledEdit.h"
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
using tarvix::test::FakeGameServer;
using tarvix::test::makeStatusReply;
using tarvix::test::ProgramFixture;
using tarvix::test::setConfigValue;
using tarvix::test::standIn;
using tarvix::test::TempDataDir;

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

}  // namespace

class TestQuickAdd : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void ipFieldSplitsAtTheFirstColon() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Application& app = fx.start();
    QuickAddDialog* q = app.quickAdd();
    q->show();
    QCOMPARE(q->addButton->text(), QString("add server"));
    QVERIFY(!q->nameEdit->isVisible());
    QVERIFY(!q->receiveNameButton->isVisible());
    q->ipEdit->setFocus();
    q->ipEdit->setText("10.0.0.1:80");
    QTest::keyClick(q->ipEdit, Qt::Key_Return);
    QCOMPARE(q->ipEdit->text(), QString("10.0.0.1"));
    QCOMPARE(q->portEdit->text(), QString("80"));
    q->ipEdit->setText("1.2.3.4:5:6");
    q->splitAddress();
    QCOMPARE(q->ipEdit->text(), QString("1.2.3.4"));
    QCOMPARE(q->portEdit->text(), QString("5:6"));
    q->hide();

    DirectConnectDialog* c = app.directConnect();
    c->ipEdit->setText(" 127.0.0.1 : 28960 ");
    c->portEdit->setText(" 9");
    c->tidyAddress();
    QCOMPARE(c->ipEdit->text(), QString("127.0.0.1"));
    QCOMPARE(c->portEdit->text(), QString("28960"));
    QCOMPARE(c->windowTitle(), QString("direct connect"));
    QCOMPARE(labelOf(c, c->passwordEdit)->text(), QString("Password "));
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
    q->ipEdit->setText(" 127.0.0.1");
    q->portEdit->setText(QString::fromStdString(server.portText() + " "));
    q->addButton->click();
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
    QVERIFY(q->nameEdit->text().isEmpty());
    QVERIFY(q->ipEdit->text().isEmpty());
    QVERIFY(q->portEdit->text().isEmpty());
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

    q->ipEdit->setText("127.0.0.1");
    q->portEdit->setText(QString::fromStdString(silent.portText()));
    q->addToList();
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QCOMPARE(fx.dialogs().questions, QStringList({"Server does not response - add it ?"}));
    QCOMPARE(stdList(fx.dir()), std::string());
    QVERIFY(!q->isVisible());

    fx.dialogs().answers.push_back(true);
    q->addToList();
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
    q->ipEdit->setText("127.0.0.1");
    q->portEdit->setText(QString::fromStdString(silent.portText()));
    q->addToList();
    QVERIFY(q->busy());
    QVERIFY(!q->addButton->isEnabled());
    QVERIFY(q->isVisible());
    QCOMPARE(q->cursor().shape(), Qt::BusyCursor);  // a sign of the wait
    q->addToList();
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QCOMPARE(q->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(silent.receivedCount(), std::size_t(1));
    QCOMPARE(fx.dialogs().questions, QStringList({"Server does not response - add it ?"}));
    QVERIFY(q->addButton->isEnabled());
    QVERIFY(!q->isVisible());

    DirectConnectDialog* c = app.directConnect();
    c->show();
    c->ipEdit->setText("127.0.0.1");
    c->portEdit->setText(QString::fromStdString(silent.portText()));
    c->connectToServer();
    QVERIFY(c->busy());
    QVERIFY(!c->connectButton->isEnabled());
    QCOMPARE(c->cursor().shape(), Qt::BusyCursor);
    c->connectToServer();
    QTRY_VERIFY_WITH_TIMEOUT(!c->busy(), 10000);
    QCOMPARE(c->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(silent.receivedCount(), std::size_t(2));
    QCOMPARE(fx.dialogs().messages, QStringList({"no response from server!"}));
    QVERIFY(c->connectButton->isEnabled());
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
    q->ipEdit->setText("127.0.0.1");
    q->addToList();
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    QCOMPARE(fx.dialogs().messages, QStringList({"please enter ip and port !"}));
    QVERIFY(!q->isVisible());
    QCOMPARE(server.receivedCount(), std::size_t(0));

    // During a scan the name is asked but nothing is added or reported.
    q->portEdit->setText(QString::fromStdString(server.portText()));
    QVERIFY(startWaitingScan(*f, app.settings()));
    q->addToList();
    QTRY_VERIFY_WITH_TIMEOUT(!q->busy(), 10000);
    stopScanButton(*f)->click();
    QVERIFY(server.waitForCount(1, 2000));
    QCOMPARE(stdList(fx.dir()), list);
    QCOMPARE(serverRowCount(*f), 1);
    QCOMPARE(fx.dialogs().shown.size(), 1);

    // A list held by a reader: the status bar says so, nothing is added.
    {
      ReadHold hold("Serverlists\\Standard");
      q->addToList();
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
    q->ipEdit->setText("127.0.0.1");
    q->portEdit->setText(QString::fromStdString(silent.portText()));
    q->addToList();
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

    c->ipEdit->setText("localhost");
    c->connectToServer();
    QTRY_VERIFY_WITH_TIMEOUT(!c->busy(), 10000);
    QCOMPARE(fx.dialogs().messages, QStringList({"please enter a valid ip!"}));
    QCOMPARE(silent.receivedCount(), std::size_t(0));
    QVERIFY(app.settings().currentServer().ip.empty());

    // No answer: the current server changes all the same.
    c->ipEdit->setText("127.0.0.1 ");
    c->portEdit->setText(QString::fromStdString(silent.portText()));
    editionLabel(*f)->setText("Medal of Honor");
    c->connectToServer();
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
    c->ipEdit->setText("127.0.0.1");
    c->portEdit->setText(QString::fromStdString(server.portText()));
    c->passwordEdit->setText("typed pw");
    c->connectButton->click();
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
    fx.dir().writeLines("Passwords.txt", {"// Tarvix 1.11 password list", "//", "",
                                          "127.0.0.1" + server.portText(), "fromfile"});
    Application& app = fx.start();
    MainWindow* f = app.mainWindow();
    DirectConnectDialog* c = app.directConnect();
    setConfigValue(app.settings(), &Config::mohaaPath, standIn(fx.dir(), "aa/MOHAA.exe"));
    c->show();
    c->ipEdit->setText("127.0.0.1");
    c->portEdit->setText(QString::fromStdString(server.portText()));
    c->connectToServer();
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
