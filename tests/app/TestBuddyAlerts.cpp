// The program's buddy alerts after scan passes, and the help shown over an
// empty server list, against fake game servers on loopback.
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "components/IniSettings.h"
#include "components/TrayIcon.h"
#include "support/FakeGameServer.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

std::string reply(const std::vector<std::string>& names) {
  return makePlayersReply("dm/mohdm1", "16", names);
}

// Runs "scan now" and waits (bounded) for the pass's end.
bool scan(MainWindow* w) {
  scanNowButton(*w)->click();
  return QTest::qWaitFor([w] { return !w->scanRunning(); }, 10000);
}

}  // namespace

class TestBuddyAlerts : public QObject {
  Q_OBJECT

 private slots:
  void alertsOnlyOnAHitThePreviousPassDidNotHave() {
    ProgramFixture fx;
    FakeGameServer alpha, bravo;
    fx.dir().writeInstallation({"Alpha Busy Server", FakeGameServer::host(), alpha.portText(),
                                "Bravo", FakeGameServer::host(), bravo.portText()});
    fx.dir().writeLines("Buddys.txt", {"Sniper", "Medic"});
    Application& app = fx.start();
    MainWindow* w = app.mainWindow();
    TrayIcon* tray = partNamed<TrayIcon>(*w, "Systray1");
    w->show();

    // Off by default: a hit is found, nothing is announced.
    alpha.setReply(reply({"sniper"}));
    bravo.setReply(reply({}));
    QVERIFY(scan(w));
    QCOMPARE(buddyView(*w)->topLevelItemCount(), 1);
    QCOMPARE(tray->lastNotification(), QString());

    // Turned on, the same hit is no news; a new one is.
    IniSettings().setBuddyAlerts(true);
    QVERIFY(scan(w));
    QCOMPARE(tray->lastNotification(), QString());
    bravo.setReply(reply({"MEDIC"}));
    QVERIFY(scan(w));
    QCOMPARE(tray->lastNotification(), QString("Tarvix\nMedic is on Bravo"));

    // A buddy moving to another server is a new hit.
    alpha.setReply(reply({}));
    bravo.setReply(reply({"Medic", "Sniper"}));
    QVERIFY(scan(w));
    QCOMPARE(tray->lastNotification(), QString("Tarvix\nSniper is on Bravo"));
    // Without a notification area (as here) the status bar says it.
    QCOMPARE(w->statusText(), QString("Sniper is on Bravo"));
  }

  void emptyListSaysHowToAddAServer() {
    ProgramFixture fx;
    fx.dir().writeInstallation({});
    Application& app = fx.start();
    MainWindow* w = app.mainWindow();
    w->show();
    auto* hint = serverView(*w)->viewport()->findChild<QLabel*>("EmptyListHint");
    QVERIFY(hint);
    QVERIFY(hint->isVisible());
    QVERIFY(hint->text().contains("\"add server\" (quick add)"));
    QVERIFY(hint->text().contains("\"options\""));
    w->showAddedServer("First");
    QVERIFY(!hint->isVisible());
    serverView(*w)->clear();
    QVERIFY(hint->isVisible());
  }
};

QTEST_MAIN(TestBuddyAlerts)
#include "TestBuddyAlerts.moc"
