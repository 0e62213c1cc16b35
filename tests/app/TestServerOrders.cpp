// The server view's opt-in orders, switched in Options: the "Ping" column of
// the last pass's reply times and "Player" by count, then maximum.
#include <QCheckBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QtTest>

#include "components/IniSettings.h"
#include "support/FakeGameServer.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/TreeRows.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

std::string reply(const std::string& max, int players) {
  std::vector<std::pair<int, std::string>> lines;
  for (int i = 0; i < players; ++i) lines.emplace_back(40, "p" + std::to_string(i));
  return makeStatusReply("\\sv_hostname\\X\\mapname\\dm/mohdm1\\sv_maxclients\\" + max, lines);
}

// Rows as "Host=Ping", in view order.
QStringList pings(QTreeWidget* view) {
  QStringList out;
  for (int i = 0; i < view->topLevelItemCount(); ++i)
    out << view->topLevelItem(i)->text(2) + "=" + view->topLevelItem(i)->text(4);
  return out;
}

int pingOf(QTreeWidget* view, const QString& host) {
  for (int i = 0; i < view->topLevelItemCount(); ++i)
    if (view->topLevelItem(i)->text(2) == host) return view->topLevelItem(i)->text(4).toInt();
  return -1;
}

}  // namespace

class TestServerOrders : public QObject {
  Q_OBJECT

 private slots:
  void pingColumnAndPlayerOrderFollowOptions() {
    ProgramFixture fx;
    FakeGameServer slow, ten, four, silent;
    slow.setResponder([](const FakeDatagram&) { return FakeAnswer::reply(reply("16", 2), 150); });
    ten.setReply(reply("20", 10));
    four.setReply(reply("16", 4));
    fx.dir().writeInstallation({"Slow", "127.0.0.1", slow.portText(), "Ten", "127.0.0.1",
                                ten.portText(), "Four", "127.0.0.1", four.portText(), "Silent",
                                "127.0.0.1", silent.portText()});
    Application& app = fx.start();
    app.settings().updateConfig([](Config& c) { c.scanTimeout = 300; });
    MainWindow& w = *app.mainWindow();
    w.show();
    QTreeWidget* view = serverView(w);
    QHeaderView* header = view->header();
    auto* pingBox = partNamed<QCheckBox>(*app.options(), "PingColumnCheckBox");
    auto* playersBox = partNamed<QCheckBox>(*app.options(), "NumericPlayerSortCheckBox");

    // Off: the four columns; "Player" in byte order, "10/20" before "4/16".
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 10000);
    QCOMPARE(view->columnCount(), 4);
    QCOMPARE(columnTexts(view, 0), QStringList({"10/20", "2/16", "4/16", "no response"}));

    // On at once, filled from the pass before; the room comes from "Host".
    pingBox->click();
    QVERIFY(IniSettings().pingColumn());
    QCOMPARE(view->columnCount(), 5);
    QCOMPARE(view->headerItem()->text(4), QString("Ping"));
    QCOMPARE(view->columnWidth(2) + view->columnWidth(4), 315);
    QVERIFY(pingOf(view, "Slow") >= 150);
    QVERIFY(pingOf(view, "Ten") < pingOf(view, "Slow"));
    QCOMPARE(pingOf(view, "Silent"), 0);  // empty
    QCOMPARE(pings(view).last(), QString("Silent="));

    // By value, the lowest first at the first click, and a server without a
    // reply last in both directions.
    clickHeader(view, 4);
    QCOMPARE(header->sortIndicatorSection(), 4);
    QVERIFY(pingOf(view, columnTexts(view, 2).at(0)) <= pingOf(view, columnTexts(view, 2).at(1)));
    QCOMPARE(columnTexts(view, 2).mid(2), QStringList({"Slow", "Silent"}));
    clickHeader(view, 4);
    QCOMPARE(pings(view).first(), "Slow=" + QString::number(pingOf(view, "Slow")));
    QCOMPARE(pings(view).last(), QString("Silent="));

    // A pass fills the column too.
    slow.setResponder([](const FakeDatagram&) { return FakeAnswer::silence(); });
    scanNowButton(w)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 10000);
    QCOMPARE(pings(view).mid(2), QStringList({"Slow=", "Silent="}));

    // Off again: four columns at their widths, sorted by "Player" again.
    pingBox->click();
    QCOMPARE(view->columnCount(), 4);
    QCOMPARE(view->columnWidth(2), 315);
    QCOMPARE(header->sortIndicatorSection(), 0);

    // "Player" by count at once, answered rows before the others.
    clickHeader(view, 0);  // ascending (the ping column was last sorted descending)
    QCOMPARE(columnTexts(view, 0), QStringList({"10/20", "4/16", "no response", "no response"}));
    playersBox->click();
    QVERIFY(IniSettings().numericPlayerSort());
    QCOMPARE(columnTexts(view, 0), QStringList({"4/16", "10/20", "no response", "no response"}));
    clickHeader(view, 0);  // descending
    QCOMPARE(columnTexts(view, 0), QStringList({"10/20", "4/16", "no response", "no response"}));
    clickHeader(view, 1);
    clickHeader(view, 0);  // from another column: the most players first
    QCOMPARE(columnTexts(view, 0), QStringList({"10/20", "4/16", "no response", "no response"}));
    playersBox->click();
    QCOMPARE(columnTexts(view, 0), QStringList({"no response", "no response", "4/16", "10/20"}));
  }
};

QTEST_MAIN(TestServerOrders)
#include "TestServerOrders.moc"
