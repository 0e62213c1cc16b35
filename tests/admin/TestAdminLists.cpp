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

#include "store/DataFile.h"
#include "support/TempDataDir.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/ToolWindowParts.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

void removeFile(const TempDataDir& dir, const char* name) {
  std::remove((dir.path() + "/" + name).c_str());
}

QStringList menuTexts(const QMenu* menu) {
  QStringList out;
  for (const QAction* a : menu->actions()) out << (a->isSeparator() ? "-" : a->text());
  return out;
}

// The program's admin list windows and their add windows.
struct Lists {
  explicit Lists(const Application& app) : program(app) {}
  const Application& program;
  MapChangeWindow* maps = program.mapChange();
  AddEntryWindow* addMap = program.addMap();
  AdminListWindow* bans = program.banList();
  AddEntryWindow* addBan = program.addBan();
  AdminListWindow* skins = program.skinList();
  AddEntryWindow* addSkin = program.addSkin();
  AdminListWindow* messages = program.messageList();
  AddEntryWindow* addMessage = program.addMessage();
};

}  // namespace

class TestAdminLists : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void windowsHaveTheirTextsColumnsMenusAndBars() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    Lists w(fx.start());
    // Caption, columns (width; 0: fills the window), menu, status bar.
    const struct {
      AdminListWindow* window;
      const char* caption;
      QList<QPair<QString, int>> columns;
      QStringList menu;
      bool statusBar;
    } windows[] = {
        {w.maps,
         "Map change",
         {{"map name", 155}, {"rcon name", 155}},
         {"load map", "-", "delete map", "new map"},
         true},
        {w.bans,
         "Bans",
         {{"Ban can be CLANTAG or NAME or IP", 0}},
         {"add new ban", "remove ban"},
         true},
        {w.skins, "Skins", {{"skin", 220}}, {"delete skin", "new skin"}, true},
        {w.messages,
         "messages",
         {{"messages via console", 0}},
         {"delete message", "new message"},
         false},
    };
    for (const auto& e : windows) {
      AdminListWindow* list = e.window;
      list->show();
      QCOMPARE(list->windowTitle(), QString(e.caption));
      QCOMPARE(listView(list)->columnCount(), int(e.columns.size()));
      QHeaderView* header = listView(list)->header();
      for (int c = 0; c < int(e.columns.size()); ++c) {
        QCOMPARE(listView(list)->headerItem()->text(c), e.columns[c].first);
        if (e.columns[c].second)
          QCOMPARE(header->sectionSize(c), e.columns[c].second);
        else  // the only column fills the list's width
          QCOMPARE(header->sectionSize(c), listView(list)->viewport()->width());
      }
      QCOMPARE(menuTexts(listMenu(list)), e.menu);
      QCOMPARE(statusBar(list) != nullptr, e.statusBar);
      QVERIFY(list->windowFlags() & Qt::WindowStaysOnTopHint);
      QVERIFY(!(list->windowFlags() & Qt::WindowMinimizeButtonHint));
      QVERIFY(!header->sectionsClickable());
      QCOMPARE(listView(list)->selectionMode(), QAbstractItemView::SingleSelection);
      list->hide();
    }
    QCOMPARE(w.skins->minimumWidth(), 250);
    QCOMPARE(w.skins->maximumWidth(), 250);
    QCOMPARE(w.skins->minimumHeight(), 100);
    QCOMPARE(w.messages->minimumSize(), QSize(300, 200));
    QCOMPARE(w.addMap->windowTitle(), QString("add map"));
    QCOMPARE(w.addMap->findChild<QLabel*>("LabeledEdit1Label")->text(), QString("map name"));
    QCOMPARE(w.addMap->findChild<QLabel*>("LabeledEdit2Label")->text(), QString("rcon name"));
    QCOMPARE(addButton(w.addMap)->text(), QString("add map"));
    QCOMPARE(w.addBan->windowTitle(), QString("add ban"));
    QCOMPARE(addButton(w.addBan)->text(), QString("add ban"));
    QCOMPARE(w.addSkin->windowTitle(), QString("add skin"));
    QCOMPARE(addButton(w.addSkin)->text(), QString("add"));
    QCOMPARE(w.addMessage->windowTitle(), QString("add message"));
    QCOMPARE(addButton(w.addMessage)->text(), QString("add message"));
    for (QWidget* add : {static_cast<QWidget*>(w.addMap), static_cast<QWidget*>(w.addBan),
                         static_cast<QWidget*>(w.addSkin), static_cast<QWidget*>(w.addMessage)}) {
      QVERIFY(add->windowFlags() & Qt::WindowStaysOnTopHint);
      QCOMPARE(add->minimumSize(), add->maximumSize());  // sized to its controls
      QVERIFY(add->childrenRect().bottom() < add->height());
    }
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void everyShowReloadsTheFileSortedOrInFileOrder() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("maps.txt", "zeta\r\nz_rcon\nAlpha\r\na_rcon\r\nbeta\r\n");  // odd last line
    fx.dir().write("bans.txt", "b\r\n10.0.\r\nA\r\n");
    fx.dir().write("messages.txt", "zz first\r\naa second\r\n");
    Lists w(fx.start());
    QCOMPARE(w.maps->rowCount(), 0);  // read on show only
    w.maps->show();
    QCOMPARE(columnTexts(listView(w.maps), 0), QStringList({"Alpha", "beta", "zeta"}));
    QCOMPARE(columnTexts(listView(w.maps), 1), QStringList({"a_rcon", "", "z_rcon"}));
    w.bans->show();
    QCOMPARE(columnTexts(listView(w.bans)), QStringList({"10.0.", "A", "b"}));
    w.messages->show();
    QCOMPARE(columnTexts(listView(w.messages)), QStringList({"zz first", "aa second"}));
    // Changes made elsewhere appear on the next show.
    fx.dir().write("bans.txt", "");
    w.bans->reshow();
    QCOMPARE(w.bans->rowCount(), 0);
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void addBanAppendsAndAnEmptyFieldStillClosesAndReloads() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("bans.txt", "zz\r\n");
    Lists w(fx.start());
    w.bans->show();
    newAction(w.bans)->trigger();
    QVERIFY(w.addBan->isVisible());
    entryEdit(w.addBan, 0)->setText(" [CLAN] ");
    addButton(w.addBan)->click();
    QVERIFY(!w.addBan->isVisible());
    QCOMPARE(fx.dir().read("bans.txt"), crlf({"zz", " [CLAN] "}));
    QCOMPARE(columnTexts(listView(w.bans)), QStringList({" [CLAN] ", "zz"}));
    // The text stays for the next showing; adding it again makes a duplicate.
    newAction(w.bans)->trigger();
    QCOMPARE(entryEdit(w.addBan, 0)->text(), QString(" [CLAN] "));
    QCOMPARE(w.addBan->focusWidget(), entryEdit(w.addBan, 0));
    addButton(w.addBan)->click();
    QCOMPARE(fx.dir().read("bans.txt"), crlf({"zz", " [CLAN] ", " [CLAN] "}));

    // Empty field: nothing written, the window closes, "Bans" is reloaded.
    newAction(w.bans)->trigger();
    entryEdit(w.addBan, 0)->clear();
    fx.dir().write("bans.txt", "changed\r\n");
    addButton(w.addBan)->click();
    QVERIFY(!w.addBan->isVisible());
    QCOMPARE(fx.dir().read("bans.txt"), crlf({"changed"}));
    QCOMPARE(columnTexts(listView(w.bans)), QStringList({"changed"}));
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void addWindowsRefuseWhatTheCodePageCannotHold() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("bans.txt", "");
    Lists w(fx.start());
    w.bans->show();
    newAction(w.bans)->trigger();
    entryEdit(w.addBan, 0)
        ->insert(QString::fromUtf8("\xe2\x82\xac"
                                   "Clan \xc5\x81ukasz"));
    QCOMPARE(entryEdit(w.addBan, 0)->text(), QString());
    QTRY_COMPARE(fx.dialogs().errors, QStringList{codePageRefusal(QString::fromUtf8("\xc5\x81"))});
    QCOMPARE(fx.dialogs().parents.last(), w.addBan);
    entryEdit(w.addBan, 0)
        ->insert(QString::fromUtf8("\xe2\x82\xac"
                                   "Clan \xc5\xa0koda"));
    addButton(w.addBan)->click();
    QCOMPARE(fx.dir().read("bans.txt"), crlf({"\x80"
                                              "Clan \x8A"
                                              "koda"}));
  }

  void removeBanRewritesTheFileSorted() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("bans.txt", "dup\r\nZed\r\nabe\r\ndup\r\n10.0.0.\r\n");
    Lists w(fx.start());
    w.bans->show();
    QCOMPARE(columnTexts(listView(w.bans)), QStringList({"10.0.0.", "abe", "dup", "dup", "Zed"}));
    selectRow(listView(w.bans), 2);
    deleteAction(w.bans)->trigger();
    QCOMPARE(fx.dir().read("bans.txt"), crlf({"10.0.0.", "abe", "dup", "Zed"}));
    QCOMPARE(columnTexts(listView(w.bans)), QStringList({"10.0.0.", "abe", "dup", "Zed"}));
    // Nothing selected: nothing happens.
    listView(w.bans)->clearSelection();
    fx.dir().write("bans.txt", "elsewhere\n");
    deleteAction(w.bans)->trigger();
    QCOMPARE(fx.dir().read("bans.txt"), std::string("elsewhere\n"));
    QCOMPARE(w.bans->rowCount(), 4);
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void skinsCountFollowsAddsAndDeletes() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("skins.txt", "b_skin\r\nA_skin\r\n");
    Lists w(fx.start());
    w.skins->show();
    QCOMPARE(countPanel(w.skins)->text(), QString("2 skins in list"));
    newAction(w.skins)->trigger();
    QVERIFY(w.addSkin->isVisible());
    // An empty field does nothing and the window stays.
    entryEdit(w.addSkin, 0)->clear();
    addButton(w.addSkin)->click();
    QVERIFY(w.addSkin->isVisible());
    QCOMPARE(fx.dir().read("skins.txt"), crlf({"b_skin", "A_skin"}));
    entryEdit(w.addSkin, 0)->setText("allied_Sas");
    addButton(w.addSkin)->click();
    QVERIFY(!w.addSkin->isVisible());
    QCOMPARE(fx.dir().read("skins.txt"), crlf({"b_skin", "A_skin", "allied_Sas"}));
    QCOMPARE(countPanel(w.skins)->text(), QString("3 skins in list"));
    selectRow(listView(w.skins), 0);  // A_skin
    deleteAction(w.skins)->trigger();
    QCOMPARE(fx.dir().read("skins.txt"), crlf({"allied_Sas", "b_skin"}));
    QCOMPARE(countPanel(w.skins)->text(), QString("2 skins in list"));
    QVERIFY(w.skins->isVisible());
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void addMapNeedsBothFieldsAndDeleteKeepsPairsSorted() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("maps.txt", "Stalingrad\r\nobj/obj_team2\r\n");
    Lists w(fx.start());
    w.maps->show();
    newAction(w.maps)->trigger();
    QVERIFY(w.addMap->isVisible());
    entryEdit(w.addMap, 1)->setText("dm/mohdm1");
    entryEdit(w.addMap, 1)->setFocus();
    addButton(w.addMap)->click();
    QVERIFY(w.addMap->isVisible());
    QCOMPARE(w.addMap->focusWidget(), entryEdit(w.addMap, 0));
    QCOMPARE(fx.dir().read("maps.txt"), crlf({"Stalingrad", "obj/obj_team2"}));
    entryEdit(w.addMap, 0)->setText("Southern France");
    addButton(w.addMap)->click();
    QVERIFY(!w.addMap->isVisible());
    QCOMPARE(fx.dir().read("maps.txt"),
             crlf({"Stalingrad", "obj/obj_team2", "Southern France", "dm/mohdm1"}));
    QCOMPARE(columnTexts(listView(w.maps), 0), QStringList({"Southern France", "Stalingrad"}));
    // Showing "add map" again empties both fields.
    newAction(w.maps)->trigger();
    QCOMPARE(entryEdit(w.addMap, 0)->text(), QString());
    QCOMPARE(entryEdit(w.addMap, 1)->text(), QString());
    w.addMap->hide();

    fx.dir().write("maps.txt", crlf({"c", "c_r", "A", "a_r", "b", "b_r"}));
    w.maps->reshow();
    selectRow(listView(w.maps), 1);  // b
    deleteAction(w.maps)->trigger();
    QCOMPARE(fx.dir().read("maps.txt"), crlf({"A", "a_r", "c", "c_r"}));
    QCOMPARE(columnTexts(listView(w.maps), 1), QStringList({"a_r", "c_r"}));
    QVERIFY(fx.dialogs().shown.isEmpty());
  }

  void messagesKeepFileOrderAndMayBeAbsent() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    fx.dir().write("messages.txt", crlf({"welcome", "no camping", "visit our site"}));
    Lists w(fx.start());
    w.messages->show();
    selectRow(listView(w.messages), 1);
    deleteAction(w.messages)->trigger();
    QCOMPARE(columnTexts(listView(w.messages)), QStringList({"welcome", "visit our site"}));
    QCOMPARE(fx.dir().read("messages.txt"), crlf({"welcome", "visit our site"}));
    newAction(w.messages)->trigger();
    entryEdit(w.addMessage, 0)->setText("a last one");
    addButton(w.addMessage)->click();
    QVERIFY(!w.addMessage->isVisible());
    QCOMPARE(columnTexts(listView(w.messages)),
             QStringList({"welcome", "visit our site", "a last one"}));
    // Showing "add message" empties its field; an empty field does nothing.
    newAction(w.messages)->trigger();
    QCOMPARE(entryEdit(w.addMessage, 0)->text(), QString());
    addButton(w.addMessage)->click();
    QVERIFY(w.addMessage->isVisible());
    QVERIFY(fx.dialogs().shown.isEmpty());

    // Absent: an empty list without a message; adding fails like any append.
    removeFile(fx.dir(), "messages.txt");
    w.messages->reshow();
    QCOMPARE(w.messages->rowCount(), 0);
    QVERIFY(fx.dialogs().shown.isEmpty());
    entryEdit(w.addMessage, 0)->setText("hello");
    addButton(w.addMessage)->click();
    QCOMPARE(fx.dialogs().errors.size(), 1);
    QVERIFY(fx.dialogs().errors[0].contains("messages.txt"));
    QVERIFY(w.addMessage->isVisible());
    QVERIFY(!fx.dir().exists("messages.txt"));
  }

  void missingAndBusyFilesAreReportedAndNeverCreated() {
    ProgramFixture fx;
    fx.dir().writeInstallation();
    removeFile(fx.dir(), "bans.txt");
    removeFile(fx.dir(), "skins.txt");
    removeFile(fx.dir(), "maps.txt");
    Lists w(fx.start());
    w.bans->show();
    w.skins->show();
    w.maps->show();
    QCOMPARE(fx.dialogs().errors.size(), 3);
    QVERIFY(fx.dialogs().errors[0].contains("bans.txt"));
    QVERIFY(fx.dialogs().errors[1].contains("skins.txt"));
    QVERIFY(fx.dialogs().errors[2].contains("maps.txt"));
    QCOMPARE(countPanel(w.skins)->text(), QString("0 skins in list"));
    // Appends fail; the add window stays open with its text.
    w.addBan->show();
    entryEdit(w.addBan, 0)->setText("cheater");
    addButton(w.addBan)->click();
    QCOMPARE(fx.dialogs().errors.size(), 4);
    QVERIFY(w.addBan->isVisible());
    w.addMap->show();
    entryEdit(w.addMap, 0)->setText("m");
    entryEdit(w.addMap, 1)->setText("r");
    addButton(w.addMap)->click();
    QCOMPARE(fx.dialogs().errors.size(), 5);
    QVERIFY(w.addMap->isVisible());
    QVERIFY(!fx.dir().exists("bans.txt") && !fx.dir().exists("maps.txt") &&
            !fx.dir().exists("skins.txt"));

    // A file held by a reader is not rewritten; the error is shown.
    fx.dir().write("skins.txt", crlf({"a", "b"}));
    w.skins->reshow();
    {
      ReadHold hold("skins.txt");
      selectRow(listView(w.skins), 0);
      deleteAction(w.skins)->trigger();
    }
    QCOMPARE(fx.dialogs().errors.size(), 6);
    QCOMPARE(fx.dir().read("skins.txt"), crlf({"a", "b"}));
  }
};

QTEST_MAIN(TestAdminLists)
#include "TestAdminLists.moc"
