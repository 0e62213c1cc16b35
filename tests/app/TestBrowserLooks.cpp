// The main window's opt-in looks: switched in Options and applied at once,
// the filter bar over a scanned list, colour codes drawn as colours.
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

#include "components/ColourCodeDelegate.h"
#include "components/IniSettings.h"
#include "support/FakeGameServer.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

// The servers' rows shown, by "Host", in view order.
QStringList shownHosts(MainWindow& w) {
  QStringList out;
  for (int i = 0; i < serverRowCount(w); ++i)
    if (!serverRow(w, i)->isHidden()) out << serverRow(w, i)->text(2);
  return out;
}

QCheckBox* box(const QObject& w, const char* name) { return partNamed<QCheckBox>(w, name); }

void scanToEnd(MainWindow& w) {
  scanNowButton(w)->click();
  QVERIFY(w.scanRunning());
  QTRY_VERIFY_WITH_TIMEOUT(!w.scanRunning(), 15000);
}

// Pixels of `view` drawn in ^1's red, or nearly (glyph edges are blended).
int redPixels(QWidget* widget) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      n += qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80 ? 1 : 0;
    }
  }
  return n;
}
int redPixels(QTreeWidget* view) { return redPixels(view->viewport()); }

}  // namespace

class TestBrowserLooks : public QObject {
  Q_OBJECT

 private slots:
  // Each box below the window's other rows, off at first, stored at once,
  // and the main window follows it without a restart.
  void optionsSwitchTheLooksAtOnce() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    Application& app = fx.start();
    OptionsWindow* options = app.options();
    int lastBottom = partNamed<QWidget>(*options, "MasterServersButton")->geometry().bottom();
    for (const auto& [name, caption] : {std::pair{"FilterBarCheckBox", "show filter bar"},
                                        {"ColourCodesCheckBox", "show colour codes as colours"},
                                        {"PingColumnCheckBox", "show ping column"},
                                        {"NumericPlayerSortCheckBox", "sort players by number"}}) {
      QCheckBox* look = box(*options, name);
      QCOMPARE(look->text(), QString(caption));
      QVERIFY(!look->isChecked());
      QVERIFY(look->geometry().top() > lastBottom);
      QVERIFY(options->rect().contains(look->geometry()));
      lastBottom = look->geometry().bottom();
    }

    // Each box shows its own stored key when the window opens and writes
    // that key alone.
    const struct {
      const char* name;
      bool (IniSettings::*read)() const;
      void (IniSettings::*write)(bool);
    } keys[] = {
        {"FilterBarCheckBox", &IniSettings::filterBar, &IniSettings::setFilterBar},
        {"ColourCodesCheckBox", &IniSettings::colourCodes, &IniSettings::setColourCodes},
        {"PingColumnCheckBox", &IniSettings::pingColumn, &IniSettings::setPingColumn},
        {"NumericPlayerSortCheckBox", &IniSettings::numericPlayerSort,
         &IniSettings::setNumericPlayerSort},
    };
    for (const auto& k : keys) {
      options->hide();
      (IniSettings().*k.write)(true);
      options->show();
      for (const auto& o : keys) QCOMPARE(box(*options, o.name)->isChecked(), &o == &k);
      box(*options, k.name)->click();
      for (const auto& o : keys) QCOMPARE((IniSettings().*o.read)(), false);
    }
    options->hide();

    const MainWindow& w = *app.mainWindow();
    auto* filterBar = partNamed<QWidget>(w, "FilterBar");
    // The columns of names that may hold colour codes, and one that may not.
    const struct {
      QTreeWidget* view;
      int column;
      bool coloured;
    } columns[] = {{serverView(w), 2, true},
                   {serverView(w), 1, false},
                   {playerView(w), 0, true},
                   {buddyView(w), 0, true},
                   {buddyView(w), 1, true}};
    for (bool on : {true, false}) {
      box(*options, "FilterBarCheckBox")->click();
      box(*options, "ColourCodesCheckBox")->click();
      QCOMPARE(IniSettings().filterBar(), on);
      QCOMPARE(filterBar->isHidden(), !on);
      for (const auto& c : columns)
        QCOMPARE(
            dynamic_cast<ColourCodeDelegate*>(c.view->itemDelegateForColumn(c.column)) != nullptr,
            on && c.coloured);
    }
  }

  // The bar hides rows by their state and by a text found in a name, a map
  // or a player's name; it never touches the list file or the name list, a
  // pass still scans every server, and rows are filtered as a pass changes
  // them.
  void filterBarOverAScannedList() {
    ProgramFixture fx;
    FakeGameServer empty, played, full, silent;
    empty.setReply(makePlayersReply("dm/mohdm1", "16", {}));
    played.setReply(makePlayersReply("obj/obj_team2", "16", {"^1Sni^7per", "bob"}));
    full.setReply(makePlayersReply("dm/mohdm6", "2", {"x", "y"}));
    const std::vector<std::string> list = {
        "Empty", "127.0.0.1", empty.portText(), "^4Played", "127.0.0.1", played.portText(),
        "Full",  "127.0.0.1", full.portText(),  "Silent",   "127.0.0.1", silent.portText()};
    fx.dir().writeInstallation(list);
    IniSettings().setFilterBar(true);
    Application& app = fx.start();
    app.settings().updateConfig([](Config& c) { c.scanTimeout = 300; });
    MainWindow& w = *app.mainWindow();
    w.show();
    const std::string listBytes = fx.dir().read("Serverlists/Standard");
    QVERIFY(!partNamed<QWidget>(w, "FilterBar")->isHidden());
    scanToEnd(w);
    const QStringList all = {"Empty", "^4Played", "Full", "Silent"};
    QCOMPARE(shownHosts(w), all);
    QCOMPARE(w.statusText(), QString("4 servers in Serverlists\\Standard"));

    auto* text = partNamed<QLineEdit>(w, "FilterEdit");
    const struct {
      bool empty, full, silent;
      const char* text;
      QStringList shown;
    } cases[] = {
        {true, false, false, "", {"^4Played", "Full", "Silent"}},
        {false, true, false, "", {"Empty", "^4Played", "Silent"}},
        {false, false, true, "", {"Empty", "^4Played", "Full"}},
        {true, true, true, "", {"^4Played"}},
        {false, false, false, "SNIPER", {"^4Played"}},      // a player, codes and case ignored
        {false, false, false, "mohdm", {"Empty", "Full"}},  // the map
        {false, false, false, "4pla", {"^4Played"}},        // the name with its codes
        {false, false, false, "sil", {"Silent"}},
        {false, false, false, "nobody", {}},
    };
    for (const auto& c : cases) {
      box(w, "HideEmptyCheckBox")->setChecked(c.empty);
      box(w, "HideFullCheckBox")->setChecked(c.full);
      box(w, "HideNoResponseCheckBox")->setChecked(c.silent);
      text->setText(c.text);
      QCOMPARE(shownHosts(w), c.shown);
      QCOMPARE(w.statusText(), QString("%1 of 4 servers shown").arg(c.shown.size()));
    }

    // Only hidden: the rows, the name list and the file are all still there.
    QCOMPARE(serverRowCount(w), 4);
    QCOMPARE(serverNameList(w)->count(), 4);
    QCOMPARE(fx.dir().read("Serverlists/Standard"), listBytes);

    // A pass over a filtered view asks every server, and a row that stops
    // passing the filter is hidden as the pass writes it.
    text->clear();
    box(w, "HideEmptyCheckBox")->setChecked(true);
    QCOMPARE(shownHosts(w), QStringList({"^4Played", "Full", "Silent"}));
    played.setReply(makePlayersReply("obj/obj_team2", "16", {}));
    const std::size_t asked[] = {empty.receivedCount(), played.receivedCount(),
                                 full.receivedCount(), silent.receivedCount()};
    scanToEnd(w);
    QCOMPARE(empty.receivedCount(), asked[0] + 1);
    QCOMPARE(played.receivedCount(), asked[1] + 1);
    QCOMPARE(full.receivedCount(), asked[2] + 1);
    QCOMPARE(silent.receivedCount(), asked[3] + 1);
    QCOMPARE(shownHosts(w), QStringList({"Full", "Silent"}));
    QCOMPARE(w.statusText(), QString("2 of 4 servers shown"));
    QCOMPARE(fx.dir().read("Serverlists/Standard"), listBytes);
    // And a hidden row that passes again is shown again.
    played.setReply(makePlayersReply("obj/obj_team2", "16", {"bob"}));
    scanToEnd(w);
    QCOMPARE(shownHosts(w), QStringList({"^4Played", "Full", "Silent"}));

    // The bar put away shows every row and the usual count.
    IniSettings().setFilterBar(false);
    w.applyBrowserLooks();
    QCOMPARE(shownHosts(w).size(), 4);
    QVERIFY(!box(w, "HideEmptyCheckBox")->isChecked());
    QCOMPARE(w.statusText(), QString("4 servers in Serverlists\\Standard"));

    // Back on, the bar is as the user leaves it at the next start too.
    IniSettings().setFilterBar(true);
    w.applyBrowserLooks();
    box(w, "HideFullCheckBox")->setChecked(true);
    QTest::keyClicks(text, "mohdm");
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(IniSettings().serverFilter().text, std::string("mohdm"));
    QTest::keyClicks(text, "6");  // no Return: kept as the window closes
    w.close();
    MainWindow& again = *fx.restart().mainWindow();
    QVERIFY(box(again, "HideFullCheckBox")->isChecked());
    QVERIFY(!box(again, "HideEmptyCheckBox")->isChecked());
    QCOMPARE(partNamed<QLineEdit>(again, "FilterEdit")->text(), QString("mohdm6"));
    // A server added meanwhile is filtered as it comes, and counted.
    again.showAddedServer("Added");
    QCOMPARE(serverRowCount(again), 5);
    QVERIFY(!shownHosts(again).contains("Added"));
    again.showAddedServer("mohdm6 too");
    QCOMPARE(again.statusText(), QString("%1 of 6 servers shown").arg(shownHosts(again).size()));
  }

  void colouredRunsKeepTheBytesAndMapTheCodes() {
    const QColor red(QRgb(0xD00000)), blue(QRgb(0x0000D0));
    const struct {
      QString text;
      QList<QPair<QString, QColor>> runs;
    } cases[] = {
        {"", {}},
        {"plain", {{"plain", QColor()}}},
        {"^1Red^7Name", {{"Red", red}, {"Name", QColor()}}},
        {"a^4b^1", {{"a", QColor()}, {"b", blue}}},
        {"^^1x^", {{"^", QColor()}, {"x^", red}}},
        {"^0Dark^9Grey", {{"Dark", QColor(Qt::black)}, {"Grey", QColor(QRgb(0x808080))}}},
        {"^1\u20AC\u00E9", {{"\u20AC\u00E9", red}}},  // Windows-1252 0x80 and 0xE9
    };
    for (const auto& c : cases) QCOMPARE(colouredRuns(c.text), c.runs);
  }

  // The delegate measures and cuts a name as it is drawn, without its codes:
  // as wide as the plain name, and a name wider than its column ends in an
  // ellipsis, whose dots leave the upper half of its line empty.
  void aColouredNameIsMeasuredAndCutWithoutItsCodes() {
    QTreeWidget view;
    ColourCodeDelegate drawing;
    view.setItemDelegate(&drawing);
    view.setHeaderHidden(true);
    auto* coded = new QTreeWidgetItem(&view, {"^1^2^3WWWW"});
    auto* plain = new QTreeWidgetItem(&view, {"WWWW"});
    auto* wide = new QTreeWidgetItem(&view, {"^1WWWW^4WWWWWWWWWWWWWWWW"});
    const auto model = [&](QTreeWidgetItem* item) {
      return view.model()->index(view.indexOfTopLevelItem(item), 0);
    };
    QStyleOptionViewItem option;
    option.font = view.font();
    QCOMPARE(drawing.sizeHint(option, model(coded)), drawing.sizeHint(option, model(plain)));

    view.resize(200, 100);
    view.setColumnWidth(0, 90);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect row = view.visualItemRect(wide);
    const QImage image =
        view.viewport()->grab().toImage().copy(row).convertToFormat(QImage::Format_RGB32);
    const auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 160; };
    int last = -1;  // the rightmost column with ink
    for (int x = 0; x < image.width(); ++x)
      for (int y = 0; y < image.height(); ++y) last = ink(x, y) ? x : last;
    const int dots = QFontMetrics(view.font()).horizontalAdvance(QString(QChar(0x2026)));
    QVERIFY(last > dots);
    int above = 0, below = 0;
    for (int x = last + 1 - dots / 2; x <= last; ++x)
      for (int y = 0; y < image.height(); ++y)
        (y < image.height() / 2 ? above : below) += ink(x, y) ? 1 : 0;
    QCOMPARE(above, 0);
    QVERIFY(below > 0);
  }

  // On a real window: the colours are drawn, the items keep their codes,
  // and questions show the names without them.
  void coloursDrawnWhileTheTextsKeepTheirCodes() {
    ProgramFixture fx;
    FakeGameServer server;
    server.setReply(
        makeStatusReply("\\sv_hostname\\^1WWWW\\mapname\\dm/mohdm1", {{40, "^1RRRRRRRR"}}));
    fx.dir().writeInstallation({"^1WWWWWWWWWWWW", "127.0.0.1", server.portText()});
    IniSettings().setColourCodes(true);
    Application& app = fx.start();
    MainWindow& w = *app.mainWindow();
    w.show();
    scanToEnd(w);
    clickRow(serverView(w), serverRow(w, 0));
    QTRY_COMPARE_WITH_TIMEOUT(playerView(w)->topLevelItemCount(), 1, 5000);
    QCOMPARE(serverRow(w, 0)->text(2), QString("^1WWWWWWWWWWWW"));
    QCOMPARE(playerView(w)->topLevelItem(0)->text(0), QString("^1RRRRRRRR"));
    QCOMPARE(redPixels(serverView(w)), 0);  // the selected row in the highlight's colour
    serverView(w)->clearSelection();
    QVERIFY(redPixels(serverView(w)) > 0);
    QVERIFY(redPixels(playerView(w)) > 0);
    QVERIFY(redPixels(hostNameLabel(w)) > 0);
    clickRow(serverView(w), serverRow(w, 0));
    actionNamed(w, "deleteserver1")->trigger();

    IniSettings().setColourCodes(false);
    w.applyBrowserLooks();
    QCOMPARE(redPixels(serverView(w)), 0);
    QCOMPARE(redPixels(playerView(w)), 0);
    actionNamed(w, "deleteserver1")->trigger();
    QCOMPARE(fx.dialogs().questions,
             QStringList({"Delete server\nWWWWWWWWWWWW ?", "Delete server\n^1WWWWWWWWWWWW ?"}));
  }
};

QTEST_MAIN(TestBrowserLooks)
#include "TestBrowserLooks.moc"
