// No window larger than the screen, the main window included: run at 150 %
// scale and 150 % text, where the offscreen screen's pixels hold two thirds
// as many of the windows' own.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QtTest>

#include "app/MainWindow.h"
#include "components/WindowFit.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ProgramFixture.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

QRect available() { return QApplication::primaryScreen()->availableGeometry(); }

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
      window->show();
      QVERIFY2(available().contains(window->frameGeometry()), qPrintable(window->objectName()));
      window->hide();
    }
    // At this scale the console (691 wide as built) had to shrink.
    QVERIFY(app.console()->width() < 691);

    // The main window (680 x 618 as built) is shrunk onto the screen too,
    // and every part is still there to use.
    QVERIFY(available().width() < 680 || available().height() < 618);
    MainWindow& main = *app.mainWindow();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(available().contains(main.frameGeometry()));
    QVERIFY(serverView(main)->height() > 0);
    QVERIFY(playerView(main)->height() > 0);
    QVERIFY(serverView(main)->geometry().right() < main.centralWidget()->width());
  }
};

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "1.5");
  QApplication app(argc, argv);
  // Text at 150 % as well: a layout that grows with its text still fits.
  QFont text = QApplication::font();
  text.setPointSizeF(text.pointSizeF() * 1.5);
  QApplication::setFont(text);
  TestWindowFit test;
  return QTest::qExec(&test, argc, argv);
}

#include "TestWindowFit.moc"
