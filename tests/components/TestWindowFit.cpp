// No window larger than the screen, the main window included: run at 150 %
// scale and 150 % text, where the offscreen screen's pixels hold two thirds
// as many of the windows' own. tests/scripts/WindowFitTest.sh runs it again
// on X under a window manager, with the scale and screens it sets, where a
// window fits only with its frame and title bar.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QWindow>
#include <QtTest>

#include "app/MainWindow.h"
#include "components/WindowFit.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

QRect available() { return QApplication::primaryScreen()->availableGeometry(); }

// Shown, framed by the window manager where there is one, and within the
// screen; else what is wrong.
QString showWithinScreen(QWidget* window) {
  window->show();
  const QString name = window->objectName() + ": ";
  // Bounded waits, long enough for a busy machine.
  constexpr int kWaitMs = 20000;
  if (!QTest::qWaitForWindowExposed(window, kWaitMs)) return name + "not shown";
  // The platform window knows its frame before the widget does.
  QWindow* handle = window->windowHandle();
  const bool framed = !window->windowFlags().testFlag(Qt::FramelessWindowHint);
  if (QGuiApplication::platformName() == "xcb" && framed &&
      !QTest::qWaitFor([&] { return !handle->frameMargins().isNull(); }, kWaitMs))
    return name + "no frame";
  if (QTest::qWaitFor([&] { return available().contains(handle->frameGeometry()); }, kWaitMs))
    return {};
  QString text;
  QDebug(&text) << handle->frameGeometry() << "not within" << available();
  return name + text;
}

}  // namespace

class TestWindowFit : public QObject {
  Q_OBJECT

 private slots:
  void aWindowThatFitsIsLeftAlone() {
    QWidget window;
    auto* label = new QLabel("x", &window);
    label->setGeometry(10, 10, 50, 20);
    window.setFixedSize(300, 200);
    keepWithinScreen(&window);
    window.show();
    QCOMPARE(window.size(), QSize(300, 200));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(label->parentWidget(), &window);
    QVERIFY(!window.findChild<QScrollArea*>());
  }

  void aLargerWindowShrinksBecomesResizableAndScrolls() {
    const QSize screen = available().size();
    QWidget window;
    auto* corner = new QLineEdit(&window);
    corner->setObjectName("corner");
    corner->setGeometry(screen.width() + 50, screen.height() + 50, 60, 20);
    auto* hidden = new QLabel("hidden", &window);
    hidden->hide();
    window.setFixedSize(screen.width() + 120, screen.height() + 80);
    keepWithinScreen(&window);
    window.show();
    QVERIFY(window.width() <= screen.width());
    QVERIFY(window.height() <= screen.height());
    QVERIFY(available().contains(window.geometry()));
    QVERIFY(window.minimumSize() != window.maximumSize());
    // The content keeps its size and places, reachable by scrolling.
    auto* area = window.findChild<QScrollArea*>();
    QVERIFY(area);
    QVERIFY(area->widget()->isAncestorOf(corner));
    QCOMPARE(corner->pos(), QPoint(screen.width() + 50, screen.height() + 50));
    QVERIFY(corner->isVisibleTo(&window));
    QVERIFY(!hidden->isVisibleTo(&window));
    // Shown again, it stays as it is.
    window.hide();
    window.show();
    QCOMPARE(window.findChildren<QScrollArea*>().size(), 1);
  }

  void noProgramWindowIsLargerThanTheScreen() {
    ProgramFixture fx;
    fx.dir().writeInstallation({"A", "127.0.0.1", "1"});
    Application& app = fx.start();
    QWidget* windows[] = {app.buddies(),          app.options(),   app.clanTags(),
                          app.search(),           app.credits(),   app.console(),
                          app.serverProperties(), app.quickAdd(),  app.directConnect(),
                          app.mapChange(),        app.addMap(),    app.banList(),
                          app.addBan(),           app.skinList(),  app.addSkin(),
                          app.messageList(),      app.addMessage()};
    for (QWidget* window : windows) {
      const QString problem = showWithinScreen(window);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
      window->hide();
    }
    // On a screen this narrow the console (691 wide as built) had to shrink.
    if (available().width() < 691) QVERIFY(app.console()->width() < 691);

    // The main window (680 x 618 as built) is shrunk onto the screen too,
    // and every part is still there to use.
    QVERIFY(available().width() < 680 || available().height() < 618);
    MainWindow& main = *app.mainWindow();
    const QString problem = showWithinScreen(&main);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(serverView(main)->height() > 0);
    QVERIFY(playerView(main)->height() > 0);
    QVERIFY(serverView(main)->geometry().right() < main.centralWidget()->width());
  }
};

int main(int argc, char** argv) {
  // Offscreen, 150 % scale and text; on X the scale the script chose.
  const bool asGiven = qEnvironmentVariable("QT_QPA_PLATFORM") == "xcb";
  if (!asGiven) qputenv("QT_SCALE_FACTOR", "1.5");
  QApplication app(argc, argv);
  if (!asGiven) {
    // Text at 150 % as well: a layout that grows with its text still fits.
    QFont text = QApplication::font();
    text.setPointSizeF(text.pointSizeF() * 1.5);
    QApplication::setFont(text);
  }
  TestWindowFit test;
  return QTest::qExec(&test, argc, argv);
}

#include "TestWindowFit.moc"
