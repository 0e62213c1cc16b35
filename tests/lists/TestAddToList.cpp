// "add to list...": offers the user's own lists only (not the fetched ones,
// not the current one), copies the server with its address from the current
// list, and refuses a server the chosen list already names.
#include <QtTest>

#include "components/IniSettings.h"
#include "lists/AddToList.h"
#include "support/TempDataDir.h"
#include "support/qt/ScriptedDialogs.h"

using namespace tarvix;
using namespace tarvix::test;

class TestAddToList : public QObject {
  Q_OBJECT

 private slots:
  void copiesIntoAChosenListOfTheUsers() {
    TempDataDir dir;
    dir.writeInstallation({"Home", "10.0.0.1", "12203"});
    dir.writeLines("Serverlists/Clan", {});
    dir.writeLines("Serverlists/Internet",
                   {"Far", "192.0.2.7", "12210", "Near", "192.0.2.8", "12203"});
    dir.writeLines("Serverlists/LAN", {});
    IniSettings().addFetchedList("Internet");
    IniSettings().addFetchedList("LAN");
    ScriptedDialogs d;
    d.choices = {"Clan"};
    QWidget parent;
    QCOMPARE(addServerToList(&parent, "Serverlists\\Internet", "Near"),
             QString("Near added to the list Clan"));
    QCOMPARE(d.choiceLists.size(), 1);
    QStringList offered = d.choiceLists.first();
    offered.sort();
    QCOMPARE(offered, QStringList({"Clan", "Standard"}));
    QCOMPARE(d.parents.first(), &parent);
    QCOMPARE(dir.read("Serverlists/Clan"), crlf({"Near", "192.0.2.8", "12203"}));

    // The same name again is refused, the list unchanged.
    d.choices = {"Clan"};
    QVERIFY(addServerToList(&parent, "Serverlists\\Internet", "Near").isEmpty());
    QCOMPARE(d.messages.size(), 1);
    QVERIFY(d.messages.first().contains("already"));
    QCOMPARE(dir.read("Serverlists/Clan"), crlf({"Near", "192.0.2.8", "12203"}));

    // Cancel adds nothing.
    QVERIFY(addServerToList(&parent, "Serverlists\\Internet", "Far").isEmpty());
    QCOMPARE(dir.read("Serverlists/Standard"), crlf({"Home", "10.0.0.1", "12203"}));

    // From a user list, the fetched ones are still not offered, the current one neither.
    d.choices = {"Clan"};
    QVERIFY(!addServerToList(&parent, "Serverlists\\Standard", "Home").isEmpty());
    QCOMPARE(d.choiceLists.last(), QStringList({"Clan"}));
    QCOMPARE(dir.read("Serverlists/Clan"),
             crlf({"Near", "192.0.2.8", "12203", "Home", "10.0.0.1", "12203"}));
  }

  void refusesWhatItCannotCopy() {
    TempDataDir dir;
    dir.writeInstallation({"Home", "10.0.0.1", "12203"});
    dir.writeLines("Serverlists/Internet", {"Far", "192.0.2.7", "12210"});
    IniSettings().addFetchedList("Internet");
    ScriptedDialogs d;
    d.choices = {"Standard"};
    // A name the current list does not hold: nothing is asked or written.
    QVERIFY(addServerToList(nullptr, "Serverlists\\Internet", "Gone").isEmpty());
    QCOMPARE(d.errors.size(), 1);
    QVERIFY(d.choiceLists.isEmpty());
    QCOMPARE(dir.read("Serverlists/Standard"), crlf({"Home", "10.0.0.1", "12203"}));

    // With the current list the user's only one, there is nowhere to copy to.
    QVERIFY(addServerToList(nullptr, "Serverlists\\Standard", "Home").isEmpty());
    QCOMPARE(d.messages.size(), 1);
    QVERIFY(d.choiceLists.isEmpty());
  }
};

QTEST_MAIN(TestAddToList)
#include "TestAddToList.moc"
