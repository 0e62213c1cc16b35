// The admin list windows: loading on every show, the add windows' append
// rules, deletion rewriting the file in display order, missing files.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>
#include <cstdio>

#include "AdminListSet.h"
#include "TempDataDir.h"
#include "qt/ScriptedDialogs.h"
#include "store/DataFile.h"

using namespace tarvix;
using tarvix::test::AdminListSet;
using tarvix::test::column;
using tarvix::test::crlf;
using tarvix::test::ScriptedDialogs;
using tarvix::test::selectRow;
using tarvix::test::TempDataDir;

namespace {

void removeFile(const TempDataDir& dir, const char* name) {
  std::remove((dir.path() + "/" + name).c_str());
}

QStringList menuTexts(const QMenu* menu) {
  QStringList out;
  for (const QAction* a : menu->actions()) out << (a->isSeparator() ? "-" : a->text());
  return out;
}

QStringList headers(const AdminListWindow& w) {
  QStringList out;
  for (int c = 0; c < w.ListView1->columnCount(); ++c) out << w.ListView1->headerItem()->text(c);
  return out;
}

}  // namespace

class TestAdminLists : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void windowsHaveTheirTextsColumnsMenusAndBars() {
    TempDataDir dir;
    dir.writeInstallation();
    ScriptedDialogs d;
    AdminListSet w;
    QCOMPARE(w.maps->windowTitle(), QString("Map change"));
    QCOMPARE(headers(*w.maps), QStringList({"map name", "rcon name"}));
    QCOMPARE(w.maps->ListView1->header()->sectionSize(0), 155);
    QCOMPARE(w.maps->ListView1->header()->sectionSize(1), 155);
    QCOMPARE(menuTexts(w.maps->PopupMenu1), QStringList({"load map", "-", "delete map", "new map"}));
    QCOMPARE(w.bans->windowTitle(), QString("Bans"));
    QCOMPARE(headers(*w.bans), QStringList({"Ban can be CLANTAG or NAME or IP"}));
    QCOMPARE(menuTexts(w.bans->PopupMenu1), QStringList({"add new ban", "remove ban"}));
    QCOMPARE(w.skins->windowTitle(), QString("Skins"));
    QCOMPARE(headers(*w.skins), QStringList({"skin"}));
    QCOMPARE(w.skins->ListView1->header()->sectionSize(0), 220);
    QCOMPARE(menuTexts(w.skins->PopupMenu1), QStringList({"delete skin", "new skin"}));
    QCOMPARE(w.messages->windowTitle(), QString("messages"));
    QCOMPARE(headers(*w.messages), QStringList({"messages via console"}));
    QCOMPARE(menuTexts(w.messages->PopupMenu1), QStringList({"delete message", "new message"}));
    // Status bars: maps and bans an empty one, skins the count, messages none.
    QVERIFY(w.maps->StatusBar1 && w.bans->StatusBar1 && w.skins->StatusBar1);
    QVERIFY(!w.messages->StatusBar1);
    QCOMPARE(w.skins->minimumWidth(), 250);
    QCOMPARE(w.skins->maximumWidth(), 250);
    QCOMPARE(w.skins->minimumHeight(), 100);
    QCOMPARE(w.messages->minimumSize(), QSize(300, 200));
    for (AdminListWindow* list : {static_cast<AdminListWindow*>(w.maps),
                                   static_cast<AdminListWindow*>(w.bans),
                                   static_cast<AdminListWindow*>(w.skins),
                                   static_cast<AdminListWindow*>(w.messages)}) {
      QVERIFY(list->windowFlags() & Qt::WindowStaysOnTopHint);
      QVERIFY(!(list->windowFlags() & Qt::WindowMinimizeButtonHint));
      QVERIFY(!list->ListView1->header()->sectionsClickable());
      QCOMPARE(list->ListView1->selectionMode(), QAbstractItemView::SingleSelection);
    }
    QCOMPARE(w.addMap->windowTitle(), QString("add map"));
    QCOMPARE(w.addMap->findChild<QLabel*>("LabeledEdit1Label")->text(), QString("map name"));
    QCOMPARE(w.addMap->findChild<QLabel*>("LabeledEdit2Label")->text(), QString("rcon name"));
    QCOMPARE(w.addMap->Button1->text(), QString("add map"));
    QCOMPARE(w.addBan->windowTitle(), QString("add ban"));
    QCOMPARE(w.addBan->Button1->text(), QString("add ban"));
    QCOMPARE(w.addSkin->windowTitle(), QString("add skin"));
    QCOMPARE(w.addSkin->Button1->text(), QString("add"));
    QCOMPARE(w.addMessage->windowTitle(), QString("add message"));
    QCOMPARE(w.addMessage->Button1->text(), QString("add message"));
    for (QWidget* add : {static_cast<QWidget*>(w.addMap), static_cast<QWidget*>(w.addBan),
                         static_cast<QWidget*>(w.addSkin), static_cast<QWidget*>(w.addMessage)}) {
      QVERIFY(add->windowFlags() & Qt::WindowStaysOnTopHint);
      QCOMPARE(add->minimumSize(), add->maximumSize());  // sized to its controls
      QVERIFY(add->childrenRect().bottom() < add->height());
    }
    QVERIFY(d.shown.isEmpty());
  }

  void everyShowReloadsTheFileSortedOrInFileOrder() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("maps.txt", "zeta\r\nz_rcon\nAlpha\r\na_rcon\r\nbeta\r\n");  // odd last line
    dir.write("bans.txt", "b\r\n10.0.\r\nA\r\n");
    dir.write("messages.txt", "zz first\r\naa second\r\n");
    ScriptedDialogs d;
    AdminListSet w;
    QCOMPARE(w.maps->RowCount(), 0);  // read on show only
    w.maps->show();
    QCOMPARE(column(*w.maps, 0), QStringList({"Alpha", "beta", "zeta"}));
    QCOMPARE(column(*w.maps, 1), QStringList({"a_rcon", "", "z_rcon"}));
    w.bans->show();
    QCOMPARE(column(*w.bans), QStringList({"10.0.", "A", "b"}));
    w.messages->show();
    QCOMPARE(column(*w.messages), QStringList({"zz first", "aa second"}));
    // Changes made elsewhere appear on the next show.
    dir.write("bans.txt", "");
    AdminListWindow::Reshow(w.bans);
    QCOMPARE(w.bans->RowCount(), 0);
    QVERIFY(d.shown.isEmpty());
  }

  void addBanAppendsAndAnEmptyFieldStillClosesAndReloads() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("bans.txt", "zz\r\n");
    ScriptedDialogs d;
    AdminListSet w;
    w.bans->show();
    w.bans->addnewban1->trigger();
    QVERIFY(w.addBan->isVisible());
    w.addBan->Edit1->setText(" [CLAN] ");
    w.addBan->Button1->click();
    QVERIFY(!w.addBan->isVisible());
    QCOMPARE(dir.read("bans.txt"), crlf({"zz", " [CLAN] "}));
    QCOMPARE(column(*w.bans), QStringList({" [CLAN] ", "zz"}));
    // The text stays for the next showing; adding it again makes a duplicate.
    w.bans->addnewban1->trigger();
    QCOMPARE(w.addBan->Edit1->text(), QString(" [CLAN] "));
    QCOMPARE(w.addBan->focusWidget(), w.addBan->Edit1);
    w.addBan->Button1->click();
    QCOMPARE(dir.read("bans.txt"), crlf({"zz", " [CLAN] ", " [CLAN] "}));

    // Empty field: nothing written, the window closes, "Bans" is reloaded.
    w.bans->addnewban1->trigger();
    w.addBan->Edit1->clear();
    dir.write("bans.txt", "changed\r\n");
    w.addBan->Button1->click();
    QVERIFY(!w.addBan->isVisible());
    QCOMPARE(dir.read("bans.txt"), crlf({"changed"}));
    QCOMPARE(column(*w.bans), QStringList({"changed"}));
    QVERIFY(d.shown.isEmpty());
  }

  void removeBanRewritesTheFileSorted() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("bans.txt", "dup\r\nZed\r\nabe\r\ndup\r\n10.0.0.\r\n");
    ScriptedDialogs d;
    AdminListSet w;
    w.bans->show();
    QCOMPARE(column(*w.bans), QStringList({"10.0.0.", "abe", "dup", "dup", "Zed"}));
    selectRow(*w.bans, 2);
    w.bans->removeban1->trigger();
    QCOMPARE(dir.read("bans.txt"), crlf({"10.0.0.", "abe", "dup", "Zed"}));
    QCOMPARE(column(*w.bans), QStringList({"10.0.0.", "abe", "dup", "Zed"}));
    // Nothing selected: nothing happens.
    w.bans->ListView1->clearSelection();
    dir.write("bans.txt", "elsewhere\n");
    w.bans->removeban1->trigger();
    QCOMPARE(dir.read("bans.txt"), std::string("elsewhere\n"));
    QCOMPARE(w.bans->RowCount(), 4);
    QVERIFY(d.shown.isEmpty());
  }

  void skinsCountFollowsAddsAndDeletes() {
    TempDataDir dir;
    dir.write("skins.txt", "b_skin\r\nA_skin\r\n");
    ScriptedDialogs d;
    AdminListSet w;
    w.skins->show();
    QCOMPARE(w.skins->StatusPanel0->text(), QString("2 skins in list"));
    w.skins->newskin1->trigger();
    QVERIFY(w.addSkin->isVisible());
    // An empty field does nothing and the window stays.
    w.addSkin->Edit1->clear();
    w.addSkin->Button1->click();
    QVERIFY(w.addSkin->isVisible());
    QCOMPARE(dir.read("skins.txt"), crlf({"b_skin", "A_skin"}));
    w.addSkin->Edit1->setText("allied_Sas");
    w.addSkin->Button1->click();
    QVERIFY(!w.addSkin->isVisible());
    QCOMPARE(dir.read("skins.txt"), crlf({"b_skin", "A_skin", "allied_Sas"}));
    QCOMPARE(w.skins->StatusPanel0->text(), QString("3 skins in list"));
    selectRow(*w.skins, 0);  // A_skin
    w.skins->deleteskin1->trigger();
    QCOMPARE(dir.read("skins.txt"), crlf({"allied_Sas", "b_skin"}));
    QCOMPARE(w.skins->StatusPanel0->text(), QString("2 skins in list"));
    QVERIFY(w.skins->isVisible());
    QVERIFY(d.shown.isEmpty());
  }

  void addMapNeedsBothFieldsAndDeleteKeepsPairsSorted() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("maps.txt", "Stalingrad\r\nobj/obj_team2\r\n");
    ScriptedDialogs d;
    AdminListSet w;
    w.maps->show();
    w.maps->newmap1->trigger();
    QVERIFY(w.addMap->isVisible());
    w.addMap->LabeledEdit2->setText("dm/mohdm1");
    w.addMap->LabeledEdit2->setFocus();
    w.addMap->Button1->click();
    QVERIFY(w.addMap->isVisible());
    QCOMPARE(w.addMap->focusWidget(), w.addMap->LabeledEdit1);
    QCOMPARE(dir.read("maps.txt"), crlf({"Stalingrad", "obj/obj_team2"}));
    w.addMap->LabeledEdit1->setText("Southern France");
    w.addMap->Button1->click();
    QVERIFY(!w.addMap->isVisible());
    QCOMPARE(dir.read("maps.txt"),
             crlf({"Stalingrad", "obj/obj_team2", "Southern France", "dm/mohdm1"}));
    QCOMPARE(column(*w.maps, 0), QStringList({"Southern France", "Stalingrad"}));
    // Showing "add map" again empties both fields.
    w.maps->newmap1->trigger();
    QCOMPARE(w.addMap->LabeledEdit1->text(), QString());
    QCOMPARE(w.addMap->LabeledEdit2->text(), QString());
    w.addMap->hide();

    dir.write("maps.txt", crlf({"c", "c_r", "A", "a_r", "b", "b_r"}));
    AdminListWindow::Reshow(w.maps);
    selectRow(*w.maps, 1);  // b
    w.maps->deletemap1->trigger();
    QCOMPARE(dir.read("maps.txt"), crlf({"A", "a_r", "c", "c_r"}));
    QCOMPARE(column(*w.maps, 1), QStringList({"a_r", "c_r"}));
    QVERIFY(d.shown.isEmpty());
  }

  void messagesKeepFileOrderAndMayBeAbsent() {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("messages.txt", crlf({"welcome", "no camping", "visit our site"}));
    ScriptedDialogs d;
    AdminListSet w;
    w.messages->show();
    selectRow(*w.messages, 1);
    w.messages->deletemessage1->trigger();
    QCOMPARE(column(*w.messages), QStringList({"welcome", "visit our site"}));
    QCOMPARE(dir.read("messages.txt"), crlf({"welcome", "visit our site"}));
    w.messages->newmessage1->trigger();
    w.addMessage->Edit1->setText("a last one");
    w.addMessage->Button1->click();
    QVERIFY(!w.addMessage->isVisible());
    QCOMPARE(column(*w.messages), QStringList({"welcome", "visit our site", "a last one"}));
    // Showing "add message" empties its field; an empty field does nothing.
    w.messages->newmessage1->trigger();
    QCOMPARE(w.addMessage->Edit1->text(), QString());
    w.addMessage->Button1->click();
    QVERIFY(w.addMessage->isVisible());
    QVERIFY(d.shown.isEmpty());

    // Absent: an empty list without a message; adding fails like any append.
    removeFile(dir, "messages.txt");
    AdminListWindow::Reshow(w.messages);
    QCOMPARE(w.messages->RowCount(), 0);
    QVERIFY(d.shown.isEmpty());
    w.addMessage->Edit1->setText("hello");
    w.addMessage->Button1->click();
    QCOMPARE(d.errors.size(), 1);
    QVERIFY(d.errors[0].contains("messages.txt"));
    QVERIFY(w.addMessage->isVisible());
    QVERIFY(!dir.exists("messages.txt"));
  }

  void missingAndBusyFilesAreReportedAndNeverCreated() {
    TempDataDir dir;
    dir.writeInstallation();
    removeFile(dir, "bans.txt");
    removeFile(dir, "skins.txt");
    removeFile(dir, "maps.txt");
    ScriptedDialogs d;
    AdminListSet w;
    w.bans->show();
    w.skins->show();
    w.maps->show();
    QCOMPARE(d.errors.size(), 3);
    QVERIFY(d.errors[0].contains("bans.txt"));
    QVERIFY(d.errors[1].contains("skins.txt"));
    QVERIFY(d.errors[2].contains("maps.txt"));
    QCOMPARE(w.skins->StatusPanel0->text(), QString("0 skins in list"));
    // Appends fail; the add window stays open with its text.
    w.addBan->show();
    w.addBan->Edit1->setText("cheater");
    w.addBan->Button1->click();
    QCOMPARE(d.errors.size(), 4);
    QVERIFY(w.addBan->isVisible());
    w.addMap->show();
    w.addMap->LabeledEdit1->setText("m");
    w.addMap->LabeledEdit2->setText("r");
    w.addMap->Button1->click();
    QCOMPARE(d.errors.size(), 5);
    QVERIFY(w.addMap->isVisible());
    QVERIFY(!dir.exists("bans.txt") && !dir.exists("maps.txt") && !dir.exists("skins.txt"));

    // A file held by a reader is not rewritten; the error is shown.
    dir.write("skins.txt", crlf({"a", "b"}));
    AdminListWindow::Reshow(w.skins);
    {
      ReadHold hold("skins.txt");
      selectRow(*w.skins, 0);
      w.skins->deleteskin1->trigger();
    }
    QCOMPARE(d.errors.size(), 6);
    QCOMPARE(dir.read("skins.txt"), crlf({"a", "b"}));
  }
};

QTEST_MAIN(TestAdminLists)
#include "TestAdminLists.moc"
