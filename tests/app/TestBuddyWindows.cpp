// The Buddies and Clantags windows: loading, adding, deleting and the
// whole-file rewrite, including a list file that has gone missing.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <cstdio>

#include "app/BuddiesWindow.h"
#include "app/ClanTagsWindow.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ScriptedDialogs.h"
#include "support/qt/ToolWindowParts.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

QStringList entries(NameListWindow& w) {
  QStringList out;
  for (int i = 0; i < listView(&w)->topLevelItemCount(); ++i)
    out << listView(&w)->topLevelItem(i)->text(0);
  return out;
}

void type(NameListWindow& w, const QString& text) {
  newEntryEdit(&w)->setText(text);
  QTest::keyClick(newEntryEdit(&w), Qt::Key_Return);
}

// No scan runs: "delete all" is allowed.
struct IdleScan : ScanState {
  bool scanRunning() const override { return false; }
  bool autoScanRunning() const override { return false; }
} idle;

void removeFile(const TempDataDir& dir, const char* name) {
  std::remove((dir.path() + "/" + name).c_str());
}

}  // namespace

class TestBuddyWindows : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void twinsHaveTheirTextsAndWindowProperties() {
    TempDataDir dir;
    dir.writeInstallation();
    ScriptedDialogs d;
    BuddiesWindow buddies(idle);
    ClanTagsWindow clantags(idle);
    QCOMPARE(buddies.objectName(), QString("Form2"));
    QCOMPARE(buddies.windowTitle(), QString("Buddies"));
    QCOMPARE(clantags.windowTitle(), QString("Clantag's"));
    QCOMPARE(newEntryLabel(&buddies)->text(), QString("New Buddy:"));
    QCOMPARE(newEntryLabel(&clantags)->text(), QString("New Clantag"));
    QCOMPARE(addButton(&buddies)->text(), QString("+"));
    QVERIFY(addButton(&buddies)->font().bold());
    QCOMPARE(listView(&buddies)->toolTip(), QString("Rightclick to delete selected buddy"));
    QCOMPARE(listView(&clantags)->toolTip(), QString());
    QCOMPARE(deleteOneAction(&buddies)->text(), QString("delete this buddy"));
    QCOMPARE(deleteAllAction(&buddies)->text(), QString("delete all buddys"));
    QCOMPARE(deleteOneAction(&clantags)->text(), QString("delete clantag"));
    QCOMPARE(deleteAllAction(&clantags)->text(), QString("delete all clantags"));
    for (NameListWindow* w :
         {static_cast<NameListWindow*>(&buddies), static_cast<NameListWindow*>(&clantags)}) {
      QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
      QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
      QCOMPARE(w->size(), QSize(200, 308));
      QCOMPARE(w->minimumSize(), QSize(200, 300));
      QCOMPARE(w->maximumSize(), QSize(400, 800));
    }
  }

  void buddiesLoadAtCreationAndOnEveryShowSorted() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("Buddys.txt", "Zed\r\nabe\nAbe\r\n");
    dir.write("clantags.txt", "[b]\r\n[A]\r\n");
    ScriptedDialogs d;
    BuddiesWindow buddies(idle);
    ClanTagsWindow clantags(idle);
    QCOMPARE(entries(buddies), QStringList({"abe", "Abe", "Zed"}));
    QCOMPARE(entries(clantags), QStringList());  // read on show only
    clantags.show();
    QCOMPARE(entries(clantags), QStringList({"[A]", "[b]"}));
    dir.write("Buddys.txt", "New\r\n");
    buddies.show();
    QCOMPARE(entries(buddies), QStringList({"New"}));
    buddies.hide();
    clantags.hide();
    QVERIFY(d.shown.isEmpty());
  }

  void enterAddsSortsRewritesAndKeepsTheFocus() {
    TempDataDir dir;
    dir.writeInstallation();
    ScriptedDialogs d;
    BuddiesWindow buddies(idle);
    buddies.show();
    buddies.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&buddies));
    type(buddies, "Zed");
    type(buddies, "abe");
    QCOMPARE(newEntryEdit(&buddies)->text(), QString());
    QCOMPARE(QApplication::focusWidget(), newEntryEdit(&buddies));
    QCOMPARE(dir.read("Buddys.txt"), crlf({"abe", "Zed"}));
    // An empty edit adds nothing; a name typed twice is listed twice.
    type(buddies, "");
    QCOMPARE(entries(buddies), QStringList({"abe", "Zed"}));
    type(buddies, " abe ");
    type(buddies, "Zed");
    QCOMPARE(dir.read("Buddys.txt"), crlf({" abe ", "abe", "Zed", "Zed"}));
    // A character the code page cannot hold is refused, never stored as '?'.
    newEntryEdit(&buddies)->insert(QString::fromUtf8("\xc5\x81ukasz"));
    QCOMPARE(newEntryEdit(&buddies)->text(), QString());
    QTRY_COMPARE(d.errors, QStringList{codePageRefusal(QString::fromUtf8("\xc5\x81"))});
    QCOMPARE(d.parents.last(), &buddies);
    buddies.hide();
  }

  void plusWithAnEmptyEditStillRewritesTheFile() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("clantags.txt", "b\nA\n");
    ScriptedDialogs d;
    ClanTagsWindow clantags(idle);
    clantags.show();
    addButton(&clantags)->click();
    QCOMPARE(dir.read("clantags.txt"), crlf({"A", "b"}));
    clantags.hide();
  }

  void deletingOneOrNoneRewritesFromTheList() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.writeLines("Buddys.txt", {"a", "b", "c"});
    ScriptedDialogs d;
    BuddiesWindow buddies(idle);
    listView(&buddies)->setCurrentItem(listView(&buddies)->topLevelItem(1));
    deleteOneAction(&buddies)->trigger();
    QCOMPARE(entries(buddies), QStringList({"a", "c"}));
    QCOMPARE(dir.read("Buddys.txt"), crlf({"a", "c"}));
    // The deletion leaves nothing selected, so deleting again removes nothing;
    // the file is written from the list again.
    QVERIFY(listView(&buddies)->selectedItems().isEmpty());
    dir.writeLines("Buddys.txt", {"changed elsewhere"});
    deleteOneAction(&buddies)->trigger();
    QCOMPARE(entries(buddies), QStringList({"a", "c"}));
    QCOMPARE(dir.read("Buddys.txt"), crlf({"a", "c"}));
  }

  void deleteAllAsksAndIsRefusedDuringAScan() {
    TempDataDir dir;
    dir.writeInstallation({"Quiet", "127.0.0.1", "1"});
    dir.writeLines("Buddys.txt", {"a", "b"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow main(settings);
    BuddiesWindow buddies(main);

    QVERIFY(startWaitingScan(main, settings));
    d.answers = {true};
    deleteAllAction(&buddies)->trigger();
    QVERIFY(d.questions.isEmpty());
    QCOMPARE(entries(buddies).size(), 2);
    stopScanButton(main)->click();

    d.answers = {false};
    deleteAllAction(&buddies)->trigger();
    QCOMPARE(d.questions, QStringList({"sure to delete complete list ?"}));
    QCOMPARE(dir.read("Buddys.txt"), crlf({"a", "b"}));
    QCOMPARE(entries(buddies).size(), 2);

    d.answers = {true};
    deleteAllAction(&buddies)->trigger();
    QCOMPARE(entries(buddies).size(), 0);
    QVERIFY(dir.exists("Buddys.txt"));
    QCOMPARE(dir.read("Buddys.txt"), std::string());
  }

  void aMissingFileIsReportedAndNeverCreated() {
    TempDataDir dir;
    dir.writeInstallation();
    removeFile(dir, "Buddys.txt");
    removeFile(dir, "clantags.txt");
    ScriptedDialogs d;
    BuddiesWindow buddies(idle);  // reads once at creation
    QCOMPARE(d.errors.size(), 1);
    QVERIFY(d.errors[0].contains("Buddys.txt"));
    ClanTagsWindow clantags(idle);
    QCOMPARE(d.errors.size(), 1);
    clantags.show();
    QCOMPARE(d.errors.size(), 2);

    // Adding keeps the edited list, reports the error, creates nothing.
    newEntryEdit(&clantags)->setText("[TAG]");
    addButton(&clantags)->click();
    QCOMPARE(d.errors.size(), 3);
    QCOMPARE(entries(clantags), QStringList({"[TAG]"}));
    QVERIFY(!dir.exists("clantags.txt"));
    listView(&clantags)->setCurrentItem(listView(&clantags)->topLevelItem(0));
    deleteOneAction(&clantags)->trigger();
    QCOMPARE(d.errors.size(), 4);
    QCOMPARE(entries(clantags), QStringList());
    QVERIFY(!dir.exists("clantags.txt"));
    d.answers = {true};
    deleteAllAction(&clantags)->trigger();
    QCOMPARE(d.errors.size(), 5);
    QVERIFY(!dir.exists("clantags.txt"));
    clantags.hide();
    QVERIFY(!dir.exists("Buddys.txt"));
  }
};

QTEST_MAIN(TestBuddyWindows)
#include "TestBuddyWindows.moc"
