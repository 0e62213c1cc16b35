// The search window: text search by server name or map stepping through
// hits, and the address search with and without port.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include "SettingsEdits.h"
#include "FakeGameServer.h"
#include "TempDataDir.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/QtText.h"
#include "lists/SearchWindow.h"
#include "qt/ScriptedDialogs.h"

using namespace tarvix;
using tarvix::test::FakeGameServer;
using tarvix::test::ScriptedDialogs;
using tarvix::test::TempDataDir;
using tarvix::test::setConfigValue;

namespace {

QStringList selectedHosts(MainWindow& w) {
  QStringList out;
  for (QTreeWidgetItem* row : w.ListView3->selectedItems()) out << row->text(2);
  return out;
}

}  // namespace

class TestSearch : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void init() {
    // Every address is loopback; the silent fake servers answer nothing.
    dir_ = std::make_unique<TempDataDir>();
    const std::string p1 = a_.portText(), p2 = b_.portText();
    dir_->writeInstallation({"xABCx one", "127.0.0.1", p1,
                             "plain",     "127.0.0.2", p1,
                             "abc two",   "127.0.0.1", p2,
                             "third Abc", "127.0.0.2", p2});
    dialogs_ = std::make_unique<ScriptedDialogs>();
    main_ = std::make_unique<MainWindow>(settings);
    setConfigValue(main_->settings(), &Config::scanTimeout, 100);
    main_->serverRow(1)->setText(1, "dm/mohdm6");
    search_ = std::make_unique<SearchWindow>();
    forms().Form1 = main_.get();
    forms().Form6 = search_.get();
  }

  void cleanup() {
    forms() = ProgramWindows{};
    search_.reset();
    main_.reset();
    dialogs_.reset();
    dir_.reset();
  }

  void windowLayoutAndFocus() {
    QCOMPARE(search_->windowTitle(), QString("search for server, map, ip"));
    QVERIFY(search_->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(search_->RadioButton1->text(), QString("server"));
    QCOMPARE(search_->RadioButton2->text(), QString("map"));
    QCOMPARE(search_->RadioButton3->text(), QString("ip"));
    QCOMPARE(search_->Button1->text(), QString("search"));
    search_->show();
    search_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(search_.get()));
    QCOMPARE(QApplication::focusWidget(), search_->Edit1);
    search_->Button1->setFocus();
    search_->RadioButton3->setChecked(true);
    QCOMPARE(QApplication::focusWidget(), search_->Edit1);
    QVERIFY(!search_->RadioButton1->isChecked());
    search_->hide();
  }

  void textSearchStepsThroughHitsIgnoringCase() {
    search_->RadioButton1->setChecked(true);
    search_->show();
    search_->Edit1->setText("abc");
    dialogs_->answers = {true, false};
    QTest::keyClick(search_->Edit1, Qt::Key_Return);
    QCOMPARE(dialogs_->questions, QStringList({"search next ?", "search next ?"}));
    QCOMPARE(selectedHosts(*main_), QStringList({"abc two"}));
    QCOMPARE(main_->ListView3->currentItem()->text(2), QString("abc two"));
    // The hit counts as the user's selection: it became the current server.
    QCOMPARE(main_->settings().currentServer().port, b_.portText());
    QVERIFY(!search_->isVisible());
    QCOMPARE(search_->Edit1->text(), QString("abc"));
    QTRY_VERIFY_WITH_TIMEOUT(!main_->detailsQueryPending(), 5000);
    QCOMPARE(main_->Label2->text(), QString("No response from selected server !"));

    // By map.
    search_->RadioButton2->setChecked(true);
    search_->Edit1->setText("MOHDM");
    dialogs_->answers = {true};
    search_->Button1->click();
    QCOMPARE(selectedHosts(*main_), QStringList({"plain"}));
    QCOMPARE(dialogs_->questions.size(), 3);
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void noMatchesBringsTheWindowBack() {
    search_->RadioButton1->setChecked(true);
    search_->show();
    search_->Edit1->setText("nothing like it");
    search_->Button1->click();
    QCOMPARE(dialogs_->messages, QStringList({"no matches !"}));
    QVERIFY(search_->isVisible());
    QCOMPARE(search_->Edit1->text(), QString("nothing like it"));
    QVERIFY(selectedHosts(*main_).isEmpty());

    // An empty edit only hides the window.
    search_->Edit1->clear();
    search_->Button1->click();
    QVERIFY(!search_->isVisible());
    QCOMPARE(dialogs_->messages.size(), 1);
  }

  void addressSearchWithAndWithoutPort() {
    search_->RadioButton3->setChecked(true);
    search_->Edit1->setText(toQString("127.0.0.1:" + a_.portText()));
    search_->Button1->click();
    QCOMPARE(selectedHosts(*main_), QStringList({"xABCx one"}));
    QVERIFY(dialogs_->questions.isEmpty());

    // The bare address: the last entry with it, whatever its port.
    search_->Edit1->setText("127.0.0.2");
    search_->Button1->click();
    QCOMPARE(selectedHosts(*main_), QStringList({"third Abc"}));

    // Exact comparison: an address in no entry selects nothing.
    main_->ListView3->clearSelection();
    search_->Edit1->setText("127.0.0.3");
    search_->show();
    search_->Button1->click();
    QCOMPARE(dialogs_->messages, QStringList({"ip not found!"}));
    QVERIFY(selectedHosts(*main_).isEmpty());
    QVERIFY(!search_->isVisible());
  }

  void addressSearchReportsAMissingList() {
    std::remove((dir_->path() + "/Serverlists/Standard").c_str());
    search_->RadioButton3->setChecked(true);
    search_->Edit1->setText("127.0.0.1");
    search_->Button1->click();
    QCOMPARE(dialogs_->errors.size(), 1);
    QVERIFY(dialogs_->messages.isEmpty());
  }

 private:
  FakeGameServer a_, b_;
  std::unique_ptr<TempDataDir> dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  Settings settings;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<SearchWindow> search_;
};

QTEST_MAIN(TestSearch)
#include "TestSearch.moc"
