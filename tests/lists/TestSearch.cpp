// The search window: text search by server name or map stepping through
// hits, and the address search with and without port.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include "components/IniSettings.h"
#include "components/QtText.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/ToolWindowParts.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

QStringList selectedHosts(MainWindow& w) {
  QStringList out;
  for (QTreeWidgetItem* row : serverView(w)->selectedItems()) out << row->text(2);
  return out;
}

}  // namespace

class TestSearch : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void init() {
    // Every address is loopback; the silent fake servers answer nothing.
    fx_ = std::make_unique<test::ProgramFixture>();
    const std::string p1 = a_.portText(), p2 = b_.portText();
    fx_->dir().writeInstallation({"xABCx one", "127.0.0.1", p1, "plain", "127.0.0.2", p1, "abc two",
                                  "127.0.0.1", p2, "third Abc", "127.0.0.2", p2});
    Application& app = fx_->start();
    main_ = app.mainWindow();
    search_ = app.search();
    setConfigValue(app.settings(), &Config::scanTimeout, 100);
    serverRow(*main_, 1)->setText(1, "dm/mohdm6");
  }

  void cleanup() { fx_.reset(); }

  void windowLayoutAndFocus() {
    QCOMPARE(search_->windowTitle(), QString("search for server, map, ip"));
    QVERIFY(search_->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(serverOption(search_)->text(), QString("server"));
    QCOMPARE(mapOption(search_)->text(), QString("map"));
    QCOMPARE(ipOption(search_)->text(), QString("ip"));
    QCOMPARE(searchWindowButton(search_)->text(), QString("search"));
    search_->show();
    search_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(search_));
    QCOMPARE(QApplication::focusWidget(), searchEdit(search_));
    searchWindowButton(search_)->setFocus();
    ipOption(search_)->setChecked(true);
    QCOMPARE(QApplication::focusWidget(), searchEdit(search_));
    QVERIFY(!serverOption(search_)->isChecked());
    search_->hide();
  }

  void textSearchStepsThroughHitsIgnoringCase() {
    serverOption(search_)->setChecked(true);
    search_->show();
    searchEdit(search_)->setText("abc");
    fx_->dialogs().answers = {true, false};
    QTest::keyClick(searchEdit(search_), Qt::Key_Return);
    QCOMPARE(fx_->dialogs().questions, QStringList({"search next ?", "search next ?"}));
    QCOMPARE(selectedHosts(*main_), QStringList({"abc two"}));
    QCOMPARE(serverView(*main_)->currentItem()->text(2), QString("abc two"));
    // The hit counts as the user's selection: it became the current server.
    QCOMPARE(fx_->program().settings().currentServer().port, b_.portText());
    QVERIFY(!search_->isVisible());
    QCOMPARE(searchEdit(search_)->text(), QString("abc"));
    QTRY_VERIFY_WITH_TIMEOUT(!main_->detailsQueryPending(), 5000);
    QCOMPARE(mapLabel(*main_)->text(), QString("No response from selected server !"));

    // By map.
    mapOption(search_)->setChecked(true);
    searchEdit(search_)->setText("MOHDM");
    fx_->dialogs().answers = {true};
    searchWindowButton(search_)->click();
    QCOMPARE(selectedHosts(*main_), QStringList({"plain"}));
    QCOMPARE(fx_->dialogs().questions.size(), 3);
    QVERIFY(fx_->dialogs().messages.isEmpty());
  }

  void noMatchesBringsTheWindowBack() {
    serverOption(search_)->setChecked(true);
    search_->show();
    searchEdit(search_)->setText("nothing like it");
    searchWindowButton(search_)->click();
    QCOMPARE(fx_->dialogs().messages, QStringList({"no matches !"}));
    QVERIFY(search_->isVisible());
    QCOMPARE(searchEdit(search_)->text(), QString("nothing like it"));
    QVERIFY(selectedHosts(*main_).isEmpty());

    // An empty edit only hides the window.
    searchEdit(search_)->clear();
    searchWindowButton(search_)->click();
    QVERIFY(!search_->isVisible());
    QCOMPARE(fx_->dialogs().messages.size(), 1);
  }

  void addressSearchWithAndWithoutPort() {
    ipOption(search_)->setChecked(true);
    searchEdit(search_)->setText(toQString("127.0.0.1:" + a_.portText()));
    searchWindowButton(search_)->click();
    QCOMPARE(selectedHosts(*main_), QStringList({"xABCx one"}));
    QVERIFY(fx_->dialogs().questions.isEmpty());

    // The bare address: the last entry with it, whatever its port.
    searchEdit(search_)->setText("127.0.0.2");
    searchWindowButton(search_)->click();
    QCOMPARE(selectedHosts(*main_), QStringList({"third Abc"}));

    // Exact comparison: an address in no entry selects nothing.
    serverView(*main_)->clearSelection();
    searchEdit(search_)->setText("127.0.0.3");
    search_->show();
    searchWindowButton(search_)->click();
    QCOMPARE(fx_->dialogs().messages, QStringList({"ip not found!"}));
    QVERIFY(selectedHosts(*main_).isEmpty());
    QVERIFY(!search_->isVisible());
  }

  // With the filter bar on, search finds only the rows on view, ignoring
  // colour codes as the bar does; a selected row the bar hides is no longer
  // selected, and connect no longer starts its server.
  void onlyRowsOnViewAreFoundAndActedOn() {
    serverRow(*main_, 2)->setText(2, "^1Red^7 Army");
    IniSettings().setFilterBar(true);
    main_->applyBrowserLooks();
    auto* filter = partNamed<QLineEdit>(*main_, "FilterEdit");
    QTest::keyClicks(filter, "r");  // hides "xABCx one" and "plain"
    serverOption(search_)->setChecked(true);
    fx_->dialogs().answers = {false, false};
    for (const char* text : {"Red Army", "abc"}) {
      searchEdit(search_)->setText(text);
      searchWindowButton(search_)->click();
    }
    QCOMPARE(fx_->dialogs().questions, QStringList({"search next ?", "search next ?"}));
    QCOMPARE(selectedHosts(*main_), QStringList({"third Abc"}));
    ipOption(search_)->setChecked(true);
    searchEdit(search_)->setText(toQString("127.0.0.1:" + a_.portText()));
    searchWindowButton(search_)->click();
    QCOMPARE(fx_->dialogs().messages, QStringList({"ip not found!"}));

    QTRY_VERIFY_WITH_TIMEOUT(!main_->detailsQueryPending(), 5000);
    QVERIFY(!mapLabel(*main_)->text().isEmpty());
    QWidget* properties = fx_->program().serverProperties();
    properties->show();
    QTest::keyClicks(filter, "ed");  // "red" hides "third Abc"
    QVERIFY(!serverView(*main_)->selectionModel()->hasSelection());
    QVERIFY(mapLabel(*main_)->text().isEmpty());
    QVERIFY(!properties->isVisible());                       // it showed the hidden row's server
    partNamed<QToolButton>(*main_, "ToolButton1")->click();  // "connect"
    QCOMPARE(fx_->dialogs().messages.last(), QString("Please select a server !"));
  }

  void addressSearchReportsAMissingList() {
    std::remove((fx_->dir().path() + "/Serverlists/Standard").c_str());
    ipOption(search_)->setChecked(true);
    searchEdit(search_)->setText("127.0.0.1");
    searchWindowButton(search_)->click();
    QCOMPARE(fx_->dialogs().errors.size(), 1);
    QVERIFY(fx_->dialogs().messages.isEmpty());
  }

 private:
  FakeGameServer a_, b_;
  std::unique_ptr<test::ProgramFixture> fx_;
  MainWindow* main_ = nullptr;
  SearchWindow* search_ = nullptr;
};

QTEST_MAIN(TestSearch)
#include "TestSearch.moc"
