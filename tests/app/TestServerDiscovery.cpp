// "refresh from master servers" and "find LAN servers" against a fake master
// and fake servers on 127.0.0.1: the list file written and made current, a
// list of the user's with the same name left alone, a stop that writes
// nothing, a refresh nobody answers that keeps the last list, and no master
// contacted at start unless the user turned that on.
#include <QAction>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "app/ServerDiscoveryRefresh.h"
#include "components/IniSettings.h"
#include "lists/QuickAddDialog.h"
#include "support/FakeGameServer.h"
#include "support/FakeGameSpy.h"
#include "support/FakeMaster.h"
#include "support/qt/Parts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

std::unique_ptr<FakeGameServer> gameSpyServer(const GameSpyPairs& pairs) {
  auto s = std::make_unique<FakeGameServer>();
  s->setResponder(
      [parts = gameSpyParts(pairs, 2)](const FakeDatagram&) { return FakeAnswer::split(parts); });
  return s;
}

// `master` as the only master, asked for Allied Assault.
void useMaster(const FakeMaster& master) {
  IniSettings ini;
  ini.setMasterServers({master.address()});
  ini.setDiscoveryGames({"mohaa"});
}

MasterEntry at(const FakeGameServer& s) { return {"127.0.0.1", s.port()}; }

int serverRowsOf(const Application& app) {
  return app.mainWindow()->findChild<QTreeWidget*>("ListView3")->topLevelItemCount();
}

// The program's refresh from the master servers and LAN, and its ends.
struct Refresh {
  explicit Refresh(const Application& app) : discovery(app.serverDiscovery()) {}
  // Runs one refresh to its end; false when it does not end in time.
  bool run(ServerDiscoveryRefresh::Source source) {
    discovery->refresh(source);
    return finished.wait(15000);
  }
  ServerDiscoveryRefresh* discovery;
  QSignalSpy finished{discovery, &ServerDiscoveryRefresh::finished};
};

}  // namespace

class TestServerDiscovery : public QObject {
  Q_OBJECT

 private slots:
  void refreshWritesItsOwnListAndShowsIt() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Home", "10.0.0.1", "12203"});
    auto alpha = gameSpyServer({{"hostname", "Alpha"}, {"hostport", "12203"}, {"numplayers", "1"}});
    auto beta = gameSpyServer({{"hostname", "Beta"}});
    FakeGameServer silent;
    FakeMaster master;
    master.setList("mohaa", {at(*alpha), at(silent), at(*beta)});
    useMaster(master);
    FakeMaster broken(MasterBehaviour::Garbage);
    IniSettings().setMasterServers({master.address(), broken.address()});
    Application& app = fx.start();
    Refresh r(app);

    r.discovery->internetAction()->trigger();
    QVERIFY(r.discovery->running());
    QCOMPARE(r.discovery->internetAction()->text(), QString("stop refresh from master servers"));
    QVERIFY(!r.discovery->lanAction()->isEnabled());
    QVERIFY(r.finished.wait(15000));
    QVERIFY2(fx.dialogs().shown.isEmpty(), qPrintable(fx.dialogs().shown.join('|')));
    QCOMPARE(master.validated(), 1);
    const std::string betaPort = std::to_string(beta->port() - 97);
    QCOMPARE(fx.dir().read("Serverlists/Internet"),
             crlf({"Alpha", "127.0.0.1", "12203", "Beta", "127.0.0.1", betaPort}));
    // Current, shown and kept in Config for the next start.
    QCOMPARE(app.settings().serverListPath(), std::string("Serverlists\\Internet"));
    QVERIFY(fx.dir().read("Config").find("Serverlists\\Internet") != std::string::npos);
    QCOMPARE(serverRowsOf(app), 2);
    // Servers counted, not the list's lines.
    QCOMPARE(app.mainWindow()->statusText(), QString("2 servers in Serverlists\\Internet"));
    // The failing master is noted where the scan's progress does not reach.
    QVERIFY(
        partNamed<QLabel>(*app.mainWindow(), "RefreshNoteLabel")
            ->text()
            .startsWith(QString::fromStdString("1 sources failed: master " + broken.address())));
    QCOMPARE(r.discovery->internetAction()->text(), QString("refresh from master servers"));
    QVERIFY(r.discovery->lanAction()->isEnabled());

    // The next refresh replaces its own list, also while it is being scanned.
    master.setList("mohaa", {at(*beta)});
    r.discovery->internetAction()->trigger();
    QVERIFY(r.finished.wait(15000));
    QVERIFY2(fx.dialogs().shown.isEmpty(), qPrintable(fx.dialogs().shown.join('|')));
    QCOMPARE(fx.dir().read("Serverlists/Internet"), crlf({"Beta", "127.0.0.1", betaPort}));
    QCOMPARE(serverRowsOf(app), 1);
    QCOMPARE(fx.dir().read("Serverlists/Standard"), crlf({"Home", "10.0.0.1", "12203"}));

    // The server view's menu holds both searches and "add to list...", which
    // copies the selected row's server into a list of the user's.
    auto* menu = app.mainWindow()->findChild<QMenu*>("PopupMenu4");
    QVERIFY(menu->actions().contains(r.discovery->internetAction()));
    QVERIFY(menu->actions().contains(r.discovery->lanAction()));
    auto* addToList = app.mainWindow()->findChild<QAction*>("AddToListAction");
    QCOMPARE(addToList->text(), QString("add to list..."));
    fx.dialogs().choices = {"Standard"};
    app.mainWindow()->selectServerRow(0);
    addToList->trigger();
    QCOMPARE(fx.dialogs().choiceLists, QList<QStringList>({{"Standard"}}));
    QCOMPARE(fx.dir().read("Serverlists/Standard"),
             crlf({"Home", "10.0.0.1", "12203", "Beta", "127.0.0.1", betaPort}));
    QCOMPARE(app.mainWindow()->statusText(), QString("Beta added to the list Standard"));
  }

  // A list of the refresh's name that the user made, or that an older version
  // fetched and the user changed since, is never replaced: each refresh
  // writes the next free name. One an older version fetched and nobody
  // changed is the refresh's.
  void aListOfTheUsersIsNeverReplaced() {
    const std::string fetched = crlf({"Alpha", "127.0.0.1", "12203"});
    const std::string mine = crlf({"Mine", "10.0.0.2", "12203"});
    enum class Record { None, OtherDigest, SameDigest };
    for (Record record : {Record::None, Record::OtherDigest, Record::SameDigest}) {
      ProgramFixture fx;
      fx.dir().writeInstallation({});
      fx.dir().write("Serverlists/Internet", mine);
      if (record != Record::None) {
        IniSettings ini;
        ini.addFetchedList("Internet");
        const std::string& digested = record == Record::SameDigest ? mine : fetched;
        ini.setFetchedListDigest("Internet",
                                 QCryptographicHash::hash(QByteArray::fromStdString(digested),
                                                          QCryptographicHash::Sha256)
                                     .toHex());
      }
      auto alpha = gameSpyServer({{"hostname", "Alpha"}, {"hostport", "12203"}});
      FakeMaster master;
      master.setList("mohaa", {at(*alpha)});
      useMaster(master);
      Application& app = fx.start();
      Refresh r(app);
      const bool replaced = record == Record::SameDigest;
      const std::string written = replaced ? "Internet" : "Internet 2";
      for (int round = 0; round < 2; ++round) {
        QVERIFY(r.run(ServerDiscoveryRefresh::Source::Internet));
        QCOMPARE(fx.dir().read("Serverlists/Internet"), replaced ? fetched : mine);
        QCOMPARE(fx.dir().exists("Serverlists/Internet 2"), !replaced);
        QCOMPARE(fx.dir().read("Serverlists/" + written), fetched);
        QCOMPARE(app.settings().serverListPath(), "Serverlists\\" + written);
      }
      QCOMPARE(app.mainWindow()->statusText().contains("Internet is a list of your own"),
               !replaced);
      QCOMPARE(IniSettings().isFetchedList("Internet"), replaced);
      QVERIFY(!fx.dir().exists("Serverlists/Internet 3"));
    }
  }

  // An edit keeps a fetched list fetched: the player is told that the next
  // refresh replaces it and may copy a quickly added server to a list of
  // their own; the next refresh replaces the list, never writing "Internet 2".
  void anEditedFetchedListStaysFetched() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Home", "10.0.0.1", "12203"});
    auto alpha = gameSpyServer({{"hostname", "Alpha"}, {"hostport", "12203"}});
    FakeMaster master;
    master.setList("mohaa", {at(*alpha)});
    useMaster(master);
    FakeGameServer kept;
    kept.queueReply(makeStatusReply("\\sv_hostname\\Kept\\mapname\\dm/mohdm1", {}));
    Application& app = fx.start();
    Refresh r(app);
    QVERIFY(r.run(ServerDiscoveryRefresh::Source::Internet));
    QTRY_VERIFY_WITH_TIMEOUT(!app.mainWindow()->scanRunning(), 10000);

    fx.dialogs().answers = {true};
    fx.dialogs().choices = {"Standard"};
    QuickAddDialog* add = app.quickAdd();
    add->show();
    partNamed<QLineEdit>(*add, "LabeledEdit2")->setText("127.0.0.1");
    partNamed<QLineEdit>(*add, "LabeledEdit3")->setText(QString::fromStdString(kept.portText()));
    partNamed<QPushButton>(*add, "Button1")->click();
    QTRY_VERIFY2_WITH_TIMEOUT(!fx.dialogs().questions.isEmpty(), "no question", 10000);
    QVERIFY2(fx.dialogs().questions.size() == 1, qPrintable(fx.dialogs().questions.join('|')));
    QCOMPARE(fx.dialogs().questions[0],
             QString("Internet is a fetched list: the next refresh "
                     "replaces it.\nAdd Kept to a list of your own too ?"));
    QCOMPARE(fx.dir().read("Serverlists/Standard"),
             crlf({"Home", "10.0.0.1", "12203", "Kept", "127.0.0.1", kept.portText()}));

    QVERIFY(r.run(ServerDiscoveryRefresh::Source::Internet));
    QCOMPARE(fx.dir().read("Serverlists/Internet"), crlf({"Alpha", "127.0.0.1", "12203"}));
    QVERIFY(!fx.dir().exists("Serverlists/Internet 2"));
  }

  void deletedOrImportedListsAreTheUsers() {
    ProgramFixture fx;
    fx.dir().writeInstallation({});
    fx.dir().writeLines("Serverlists/Internet", {"Old", "192.0.2.1", "12203"});
    fx.dir().writeLines("Serverlists/LAN", {"Old", "192.0.2.1", "12203"});
    fx.dir().writeLines("LAN.txt", {"Mine|192.0.2.9:12203"});
    IniSettings().addFetchedList("Internet");
    IniSettings().addFetchedList("LAN");
    fx.dialogs().answers = {true, true, true};  // delete, import, replace LAN
    fx.dialogs().files = {QString::fromStdString(fx.dir().path() + "/LAN.txt")};
    Application& app = fx.start();
    OptionsWindow* w = app.options();
    w->show();
    auto* lists = partNamed<QTreeWidget>(*w, "ListView1");
    // The fetched lists and the current one are marked; their texts stay names.
    QTreeWidgetItem* internet = lists->findItems("Internet", Qt::MatchExactly)[0];
    QTreeWidgetItem* standard = lists->findItems("Standard", Qt::MatchExactly)[0];
    QVERIFY(internet->font(0).italic() && !standard->font(0).italic());
    QCOMPARE(internet->toolTip(0), QString("fetched: the next refresh replaces it"));
    QCOMPARE(standard->toolTip(0), QString("the current list"));
    lists->setCurrentItem(internet);
    w->deleteList();
    QVERIFY(!fx.dir().exists("Serverlists/Internet"));
    w->importTextListFile();
    QCOMPARE(fx.dialogs().questions.last(),
             QString("Replace the list LAN, which holds 1 servers now ?"));
    QCOMPARE(fx.dir().read("Serverlists/LAN"), crlf({"Mine", "192.0.2.9", "12203"}));
    QVERIFY(IniSettings().fetchedLists().empty());
  }

  // Rows appear as servers answer; "stop" keeps them as the fetched list and
  // says so beside the status text, where the scan's progress does not reach.
  void stopKeepsTheServersFound() {
    ProgramFixture fx;
    fx.dir().writeInstallation({});
    auto alpha = gameSpyServer({{"hostname", "Alpha"}, {"hostport", "12203"}});
    FakeGameServer silent;  // keeps the refresh running
    FakeMaster master;
    master.setList("mohaa", {at(*alpha), at(silent)});
    useMaster(master);
    Application& app = fx.start();
    app.settings().updateConfig([](Config& c) { c.scanTimeout = 5000; });
    Refresh r(app);
    r.discovery->internetAction()->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(serverRowsOf(app), 1, 4000);
    QVERIFY(r.discovery->running());
    r.discovery->internetAction()->trigger();
    QCOMPARE(fx.dir().read("Serverlists/Internet"), crlf({"Alpha", "127.0.0.1", "12203"}));
    auto* note = partNamed<QLabel>(*app.mainWindow(), "RefreshNoteLabel");
    QCOMPARE(note->text(), QString("refresh from master servers stopped: the 1 servers found so "
                                   "far are kept"));
    QTRY_VERIFY_WITH_TIMEOUT(!app.mainWindow()->scanRunning(), 10000);
    QVERIFY(!note->isHidden());
  }

  void stopWritesNothing() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Home", "10.0.0.1", "12203"});
    FakeMaster master(MasterBehaviour::Silent);
    useMaster(master);
    Application& app = fx.start();
    Refresh r(app);
    r.discovery->internetAction()->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(master.connections() == 1, 5000);
    r.discovery->internetAction()->trigger();  // the second press stops
    QVERIFY(!r.discovery->running());
    QCOMPARE(r.finished.size(), 1);
    QCOMPARE(app.mainWindow()->statusText(), QString("refresh from master servers stopped"));
    QCOMPARE(r.discovery->internetAction()->text(), QString("refresh from master servers"));
    QTest::qWait(700);  // longer than the master's time-out
    QCOMPARE(r.finished.size(), 1);
    QVERIFY(!fx.dir().exists("Serverlists/Internet"));
    QCOMPARE(app.settings().serverListPath(), std::string("Serverlists\\Standard"));
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void noAnswerKeepsTheLastList() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"Home", "10.0.0.1", "12203"});
    const std::string last = crlf({"Old", "192.0.2.1", "12203"});
    fx.dir().write("Serverlists/Internet", last);
    IniSettings().addFetchedList("Internet");
    FakeMaster master(MasterBehaviour::Echo);
    useMaster(master);
    Application& app = fx.start();
    Refresh r(app);
    QVERIFY(r.run(ServerDiscoveryRefresh::Source::Internet));
    QCOMPARE(fx.dialogs().errors.size(), 1);
    QVERIFY(fx.dialogs().errors.first().startsWith(
        "No master server answered. The last fetched list is kept.\nmaster 127.0.0.1:"));
    QVERIFY2(fx.dialogs().errors.first().contains(QString::number(master.port())),
             qPrintable(fx.dialogs().errors.first()));
    QCOMPARE(fx.dir().read("Serverlists/Internet"), last);
    QCOMPARE(app.settings().serverListPath(), std::string("Serverlists\\Standard"));

    // Once a master answers, the list, recorded as fetched before digests
    // were kept, is still the refresh's to replace.
    auto alpha = gameSpyServer({{"hostname", "Alpha"}, {"hostport", "12203"}});
    FakeMaster answering;
    answering.setList("mohaa", {at(*alpha)});
    useMaster(answering);
    QVERIFY(r.run(ServerDiscoveryRefresh::Source::Internet));
    QCOMPARE(fx.dir().read("Serverlists/Internet"), crlf({"Alpha", "127.0.0.1", "12203"}));
    QVERIFY(!fx.dir().exists("Serverlists/Internet 2"));

    // No master configured: refused before anything starts.
    IniSettings().setMasterServers({});
    r.discovery->refresh(ServerDiscoveryRefresh::Source::Internet);
    QVERIFY(!r.discovery->running());
    QCOMPARE(fx.dialogs().errors.size(), 2);
    QVERIFY(fx.dialogs().errors.last().contains("master servers..."));
  }

  void lanServersGoToTheLanList() {
    ProgramFixture fx;
    fx.dir().writeInstallation({});
    auto lan = gameSpyServer({{"hostname", "Basement"}, {"hostport", "12203"}});
    IniSettings ini;
    ini.setMasterServers({});
    // Loopback stands in for the broadcast address.
    QSettings raw("tarvix.ini", QSettings::IniFormat);
    raw.setValue("discovery/lanAddress", "127.0.0.1");
    raw.setValue("discovery/lanFirstPort", lan->port());
    raw.setValue("discovery/lanLastPort", lan->port());
    raw.sync();
    Application& app = fx.start();
    Refresh r(app);
    r.discovery->lanAction()->trigger();
    QCOMPARE(r.discovery->lanAction()->text(), QString("stop finding LAN servers"));
    QVERIFY(!r.discovery->internetAction()->isEnabled());
    QVERIFY(r.finished.wait(15000));
    QCOMPARE(fx.dir().read("Serverlists/LAN"), crlf({"Basement", "127.0.0.1", "12203"}));
    QCOMPARE(app.settings().serverListPath(), std::string("Serverlists\\LAN"));
    QVERIFY(IniSettings().isFetchedList("LAN"));
    QVERIFY(!IniSettings().isFetchedList("Internet"));
  }

  void refreshAtStartOnlyWhenTurnedOn() {
    ProgramFixture fx;
    fx.dir().writeInstallation({});
    FakeMaster master;
    useMaster(master);
    fx.start().show();
    QTest::qWait(300);
    QCOMPARE(master.connections(), 0);
    fx.stop();
    IniSettings().setRefreshAtStart(true);
    fx.start().show();
    QTRY_VERIFY_WITH_TIMEOUT(master.connections() == 1, 5000);
  }
};

QTEST_MAIN(TestServerDiscovery)
#include "TestServerDiscovery.moc"
