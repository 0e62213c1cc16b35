// The tray icon offscreen: minimise to the notification area and restore on
// double-click, the enabled switch while minimised, the tip, the mouse
// notifications, a desktop without a notification area, and the main
// window's tray: its menu, its notices and the shutdown.
#include <QMenu>
#include <QSystemTrayIcon>
#include <QtTest>

#include "components/HostChecker.h"
#include "components/PingJob.h"
#include "components/TrayIcon.h"
#include "support/FakeGameServer.h"
#include "support/SettingsEdits.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

// A tray on a desktop that has (or lacks) a notification area.
class Tray : public TrayIcon {
 public:
  Tray(QWidget* w, bool available) : TrayIcon(w), available_(available) {}

 protected:
  bool trayAvailable() const override { return available_; }

 private:
  bool available_;
};

class Window : public QWidget {
 public:
  int shows = 0;

 protected:
  void showEvent(QShowEvent* e) override {
    QWidget::showEvent(e);
    if (!e->spontaneous()) ++shows;
  }
};

void notify(TrayIcon& t, QSystemTrayIcon::ActivationReason r) { emit t.trayIcon()->activated(r); }

void minimise(QWidget& w) { w.setWindowState(w.windowState() | Qt::WindowMinimized); }

}  // namespace

class TestSystray : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QPixmap p(16, 16);
    p.fill(Qt::darkGreen);
    QApplication::setWindowIcon(QIcon(p));
  }

  void minimiseHidesToTrayAndDoubleClickRestores() {
    Window w;
    Tray t(&w, true);
    t.setHint("Tarvix 2.10");
    w.show();
    QCOMPARE(w.shows, 1);
    QVERIFY(!t.iconShown());

    minimise(w);
    QVERIFY(t.iconShown());
    QVERIFY(t.trayIcon()->isVisible());
    QVERIFY(!w.isVisible());
    QCOMPARE(t.tip(), QString("Tarvix 2.10"));
    // Without an icon of its own the tray shows the application's icon.
    QCOMPARE(t.trayIcon()->icon().cacheKey(), QApplication::windowIcon().cacheKey());
    QPixmap p(16, 16);
    p.fill(Qt::red);
    const QIcon own(p);
    t.setIcon(own);
    QCOMPARE(t.trayIcon()->icon().cacheKey(), own.cacheKey());

    notify(t, QSystemTrayIcon::DoubleClick);
    QVERIFY(w.isVisible());
    QVERIFY(!w.isMinimized());
    QVERIFY(!t.iconShown());
    QVERIFY(!t.trayIcon()->isVisible());
    // Coming back from the tray does not run the window's show handler.
    QCOMPARE(w.shows, 1);

    // And again.
    minimise(w);
    QVERIFY(t.iconShown());
    QVERIFY(!w.isVisible());
    notify(t, QSystemTrayIcon::DoubleClick);
    QVERIFY(w.isVisible());
    QVERIFY(!t.iconShown());
  }

  void disabledTrayLeavesTheWindowAlone() {
    Window w;
    Tray t(&w, true);
    t.setEnabled(false);
    w.show();
    minimise(w);
    QVERIFY(!t.iconShown());
    QVERIFY(w.isVisible());
    // Mouse notifications are ignored while disabled.
    int left = 0;
    t.onLeftClick = [&](QObject*) { ++left; };
    notify(t, QSystemTrayIcon::Trigger);
    QCOMPARE(left, 0);

    // Enabling while minimised moves the window into the tray...
    t.setEnabled(true);
    QVERIFY(t.iconShown());
    QVERIFY(!w.isVisible());
    notify(t, QSystemTrayIcon::Trigger);
    QCOMPARE(left, 1);
    // ...disabling brings its task bar entry back, still minimised.
    t.setEnabled(false);
    QVERIFY(!t.iconShown());
    QVERIFY(w.isVisible());
    QVERIFY(w.isMinimized());
    // A restore while disabled leaves no icon behind.
    w.setWindowState(Qt::WindowNoState);
    QVERIFY(!t.iconShown());
  }

  void tipIsTheHintCutTo63AndFollowsChangesWhileShown() {
    Window w;
    Tray t(&w, true);
    const QString hint = QString(70, QChar('h')).replace(0, 3, "abc");
    t.setHint(hint);
    w.show();
    minimise(w);
    QCOMPARE(t.tip(), hint.left(63));
    t.setHint("shown");
    QCOMPARE(t.tip(), QString("shown"));
    notify(t, QSystemTrayIcon::DoubleClick);
    // While hidden a new hint waits for the next minimise.
    t.setHint("later");
    QCOMPARE(t.tip(), QString("shown"));
    minimise(w);
    QCOMPARE(t.tip(), QString("later"));
    t.setHint("");
    QCOMPARE(t.tip(), QString());
  }

  void rightClickOpensThePopupMenuOnlyWhenSet() {
    Window w;
    Tray t(&w, true);
    w.show();
    minimise(w);
    notify(t, QSystemTrayIcon::Context);  // no menu: nothing happens
    QVERIFY(t.iconShown());

    QMenu menu;
    menu.addAction("exit");
    t.setPopupMenu(&menu);
    notify(t, QSystemTrayIcon::Context);
    QVERIFY(menu.isVisible());
    QCOMPARE(TrayIcon::popupOwner(&menu), &t);
    menu.hide();

    // An owner's handler replaces the default.
    int right = 0;
    t.onRightClick = [&](QObject* sender) {
      QCOMPARE(sender, static_cast<QObject*>(&t));
      ++right;
    };
    notify(t, QSystemTrayIcon::Context);
    QCOMPARE(right, 1);
    QVERIFY(!menu.isVisible());
  }

  void withoutNotificationAreaTheWindowStaysReachable() {
    Window w;
    Tray t(&w, false);
    w.show();
    minimise(w);
    // The icon counts as shown, but the task bar entry stays.
    QVERIFY(t.iconShown());
    QVERIFY(w.isVisible());
    w.setWindowState(Qt::WindowNoState);
    QVERIFY(!t.iconShown());
    QVERIFY(w.isVisible());
  }

  void laterTrayReplacesTheRegistration() {
    Window w;
    Tray first(&w, true);
    Tray second(&w, true);
    w.show();
    minimise(w);
    QVERIFY(!first.iconShown());
    QVERIFY(second.iconShown());
  }

  // The main window's tray as a user meets it: the program's name as the
  // tip, a right-click menu whose items do what they say, notices in the
  // status bar when the desktop has no notification area (as offscreen),
  // and "exit" ending the scan, the pings and the icon.
  void mainWindowTrayMenuAndNotices() {
    initResources();
    test::ProgramFixture fx;
    test::FakeGameServer silent;  // never answers: a scan waits
    fx.dir().writeInstallation({"Alpha", test::FakeGameServer::host(), silent.portText()});
    Application& app = fx.start();
    MainWindow& w = *app.mainWindow();
    TrayIcon* tray = partNamed<TrayIcon>(w, "Systray1");
    w.show();
    minimise(w);
    QVERIFY(tray->iconShown());
    QCOMPARE(tray->tip(), QString("Tarvix 2.10"));

    notify(*tray, QSystemTrayIcon::Context);
    QMenu* menu = partNamed<QMenu>(w, "PopupMenu5");
    QVERIFY(menu->isVisible());
    QStringList items;
    for (const QAction* a : menu->actions()) items << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(items, QStringList({"options", "scan now", "-", "exit"}));
    menu->hide();
    menu->actions()[0]->trigger();
    QVERIFY(app.options()->isVisible());
    app.options()->hide();
    setConfigValue(app.settings(), &Config::scanTimeout, 60000);
    menu->actions()[1]->trigger();
    QVERIFY(w.scanRunning());
    QVERIFY(w.scanThreadId() != 0);
    QVERIFY(silent.waitForCount(1, 5000));

    // Without a notification area a notice goes to the status bar, one line.
    w.notify("Tarvix", "Medic is on Bravo\nSniper is on Bravo");
    QCOMPARE(tray->lastNotification(), QString("Tarvix\nMedic is on Bravo\nSniper is on Bravo"));
    QCOMPARE(w.statusText(), QString("Medic is on Bravo; Sniper is on Bravo"));

    // "exit" ends the app's work: the scan, every ping, the icon.
    auto* checker = partNamed<HostChecker>(*app.serverProperties(), "HostChecker1");
    checker->setHostName("127.0.0.1");
    checker->setAutoCheckPeriod(10);
    checker->setAutoCheck(true);
    QTRY_VERIFY_WITH_TIMEOUT(!startedPings().empty(), 5000);
    menu->actions()[3]->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(applicationTerminated());
    QCOMPARE(w.scanThreadId(), 0ul);  // the pass was stopped and joined
    QVERIFY(!tray->iconShown());
    QVERIFY(startedPings().empty());
    QTRY_COMPARE_WITH_TIMEOUT(runningPings(), 0, 5000);
    QTest::qWait(100);
    QVERIFY(startedPings().empty());
  }
};

QTEST_MAIN(TestSystray)
#include "TestTrayIcon.moc"
