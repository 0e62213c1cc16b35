// The Buddies and Clantags windows: loading, adding, deleting and the
// whole-file rewrite, including a list file that has gone missing.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <cstdio>

#include "TempDataDir.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/BuddiesWindow.h"
#include "app/ClanTagsWindow.h"
#include "qt/ScriptedDialogs.h"

using namespace tarvix;
using tarvix::test::crlf;
using tarvix::test::ScriptedDialogs;
using tarvix::test::TempDataDir;

namespace {

QStringList entries(NameListWindow& w) {
  QStringList out;
  for (int i = 0; i < w.ListView1->topLevelItemCount(); ++i) out << w.ListView1->topLevelItem(i)->text(0);
  return out;
}

void type(NameListWindow& w, const QString& text) {
  w.LabeledEdit1->setText(text);
  QTest::keyClick(w.LabeledEdit1, Qt::Key_Return);
}

void removeFile(const TempDataDir& dir, const char* name) {
  std::remove((dir.path() + "/" + name).c_str());
}

}  // namespace

class TestBuddyWindows : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }
  void cleanup() { forms() = ProgramWindows{}; }

  void twinsHaveTheirTextsAndWindowProperties() {
    TempDataDir dir;
    dir.writeInstallation();
    ScriptedDialogs d;
    BuddiesWindow buddies;
    ClanTagsWindow clantags;
    QCOMPARE(buddies.objectName(), QString("Form2"));
    QCOMPARE(buddies.windowTitle(), QString("Buddies"));
    QCOMPARE(clantags.windowTitle(), QString("Clantag's"));
    QCOMPARE(buddies.LabeledEdit1Label->text(), QString("New Buddy:"));
    QCOMPARE(clantags.LabeledEdit1Label->text(), QString("New Clantag"));
    QCOMPARE(buddies.Button1->text(), QString("+"));
    QVERIFY(buddies.Button1->font().bold());
    QCOMPARE(buddies.ListView1->toolTip(), QString("Rightclick to delete selected buddy"));
    QCOMPARE(clantags.ListView1->toolTip(), QString());
    QCOMPARE(buddies.DeleteOne->text(), QString("delete this buddy"));
    QCOMPARE(buddies.DeleteAll->text(), QString("delete all buddys"));
    QCOMPARE(clantags.DeleteOne->text(), QString("delete clantag"));
    QCOMPARE(clantags.DeleteAll->text(), QString("delete all clantags"));
    for (NameListWindow* w : {static_cast<NameListWindow*>(&buddies),
                               static_cast<NameListWindow*>(&clantags)}) {
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
    BuddiesWindow buddies;
    ClanTagsWindow clantags;
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
    BuddiesWindow buddies;
    buddies.show();
    buddies.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&buddies));
    type(buddies, "Zed");
    type(buddies, "abe");
    QCOMPARE(buddies.LabeledEdit1->text(), QString());
    QCOMPARE(QApplication::focusWidget(), buddies.LabeledEdit1);
    QCOMPARE(dir.read("Buddys.txt"), crlf({"abe", "Zed"}));
    // An empty edit adds nothing; a name typed twice is listed twice.
    type(buddies, "");
    QCOMPARE(entries(buddies), QStringList({"abe", "Zed"}));
    type(buddies, " abe ");
    type(buddies, "Zed");
    QCOMPARE(dir.read("Buddys.txt"), crlf({" abe ", "abe", "Zed", "Zed"}));
    buddies.hide();
  }

  void plusWithAnEmptyEditStillRewritesTheFile() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("clantags.txt", "b\nA\n");
    ScriptedDialogs d;
    ClanTagsWindow clantags;
    clantags.show();
    clantags.Button1->click();
    QCOMPARE(dir.read("clantags.txt"), crlf({"A", "b"}));
    clantags.hide();
  }

  void deletingOneOrNoneRewritesFromTheList() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.writeLines("Buddys.txt", {"a", "b", "c"});
    ScriptedDialogs d;
    BuddiesWindow buddies;
    buddies.ListView1->setCurrentItem(buddies.ListView1->topLevelItem(1));
    buddies.DeleteOne->trigger();
    QCOMPARE(entries(buddies), QStringList({"a", "c"}));
    QCOMPARE(dir.read("Buddys.txt"), crlf({"a", "c"}));
    // The deletion leaves nothing selected, so deleting again removes nothing;
    // the file is written from the list again.
    QVERIFY(buddies.ListView1->selectedItems().isEmpty());
    dir.writeLines("Buddys.txt", {"changed elsewhere"});
    buddies.DeleteOne->trigger();
    QCOMPARE(entries(buddies), QStringList({"a", "c"}));
    QCOMPARE(dir.read("Buddys.txt"), crlf({"a", "c"}));
  }

  void deleteAllAsksAndIsRefusedDuringAScan() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.writeLines("Buddys.txt", {"a", "b"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow main(settings);
    forms().Form1 = &main;
    BuddiesWindow buddies;

    main.Scanning = true;
    d.answers = {true};
    buddies.DeleteAll->trigger();
    QVERIFY(d.questions.isEmpty());
    QCOMPARE(entries(buddies).size(), 2);
    main.Scanning = false;

    d.answers = {false};
    buddies.DeleteAll->trigger();
    QCOMPARE(d.questions, QStringList({"sure to delete complete list ?"}));
    QCOMPARE(dir.read("Buddys.txt"), crlf({"a", "b"}));
    QCOMPARE(entries(buddies).size(), 2);

    d.answers = {true};
    buddies.DeleteAll->trigger();
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
    BuddiesWindow buddies;  // reads once at creation
    QCOMPARE(d.errors.size(), 1);
    QVERIFY(d.errors[0].contains("Buddys.txt"));
    ClanTagsWindow clantags;
    QCOMPARE(d.errors.size(), 1);
    clantags.show();
    QCOMPARE(d.errors.size(), 2);

    // Adding keeps the edited list, reports the error, creates nothing.
    clantags.LabeledEdit1->setText("[TAG]");
    clantags.Button1->click();
    QCOMPARE(d.errors.size(), 3);
    QCOMPARE(entries(clantags), QStringList({"[TAG]"}));
    QVERIFY(!dir.exists("clantags.txt"));
    clantags.ListView1->setCurrentItem(clantags.ListView1->topLevelItem(0));
    clantags.DeleteOne->trigger();
    QCOMPARE(d.errors.size(), 4);
    QCOMPARE(entries(clantags), QStringList());
    QVERIFY(!dir.exists("clantags.txt"));
    d.answers = {true};
    clantags.DeleteAll->trigger();
    QCOMPARE(d.errors.size(), 5);
    QVERIFY(!dir.exists("clantags.txt"));
    clantags.hide();
    QVERIFY(!dir.exists("Buddys.txt"));
  }
};

QTEST_MAIN(TestBuddyWindows)
#include "TestBuddyWindows.moc"
