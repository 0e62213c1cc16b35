// The tray icon offscreen: minimise to the notification area and restore on
// double-click, the enabled switch while minimised, the tip, the mouse
// notifications, a desktop without a notification area, and the main
// window's Systray1, the properties window's HostChecker1 and the shutdown.
#include <QMenu>
#include <QSystemTrayIcon>
#include <QtTest>

#include "components/HostChecker.h"
#include "components/PingJob.h"
#include "components/TrayIcon.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"
#include "support/qt/ScriptedDialogs.h"

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

  void mainWindowTrayAndHostChecker() {
    initResources();
    test::TempDataDir dir;
    dir.writeInstallation({"Alpha", "127.0.0.7", "12203"});
    test::ScriptedDialogs d;
    test::ProgramFixture program;
    MainWindow& w = *program.mainWindow();
    TrayIcon* tray = partNamed<TrayIcon>(w, "Systray1");
    QCOMPARE(tray->hint(), QString("Tarvix 2.10"));
    QCOMPARE(tray->popupMenu(), partNamed<QMenu>(w, "PopupMenu5"));
    QVERIFY(tray->isEnabled());

    HostChecker* c = partNamed<HostChecker>(*program.serverProperties(), "HostChecker1");
    QVERIFY(c);
    QCOMPARE(c->objectName(), QString("HostChecker1"));
    QCOMPARE(c->logId(), std::string("Link checker"));
    QVERIFY(!c->autoCheck());
    QCOMPARE(c->autoCheckPeriod(), std::uint16_t(500));
    QCOMPARE(c->pingCount(), std::uint8_t(1));
    QCOMPARE(c->pingSize(), std::uint8_t(1));
    QCOMPARE(c->ttl(), std::uint8_t(64));
    QCOMPARE(c->pingTimeout(), std::uint16_t(1500));
    QCOMPARE(c->hostName(), std::string("localhost"));
    QCOMPARE(c->pingMode(), PingMode::Simultaneous);

    // Closing the main window ends every ping; the checker starts no more.
    w.show();
    c->setHostName("127.0.0.1");
    c->setAutoCheckPeriod(10);
    c->setAutoCheck(true);
    QTRY_VERIFY_WITH_TIMEOUT(!startedPings().empty(), 5000);
    w.close();
    QVERIFY(applicationTerminated());
    QVERIFY(startedPings().empty());
    QVERIFY(!tray->iconShown());
    QTRY_COMPARE_WITH_TIMEOUT(runningPings(), 0, 5000);
    QTest::qWait(100);
    QVERIFY(startedPings().empty());
  }
};

QTEST_MAIN(TestSystray)
#include "TestTrayIcon.moc"
