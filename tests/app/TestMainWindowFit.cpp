// With 150 % scaling and 150 % text the main window's first size is larger
// than the screen: it opens shrunk to the screen's available area, views
// included.
#include <QApplication>
#include <QFont>
#include <QScreen>
#include <QtTest>

#include "app/MainWindow.h"
#include "app/Resources.h"
#include "support/TempDataDir.h"
#include "support/qt/MainWindowParts.h"
#include "support/qt/ScriptedDialogs.h"

using namespace tarvix;
using namespace tarvix::test;

class TestMainWindowFit : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { initResources(); }

  void aWindowLargerThanTheScreenIsShrunkOntoIt() {
    const QRect room = QApplication::primaryScreen()->availableGeometry();
    if (room.width() >= 680 && room.height() >= 618) QSKIP("the screen holds the first size");
    TempDataDir dir;
    dir.writeInstallation({"A", "127.0.0.1", "1"});
    ScriptedDialogs d;
    Settings settings;
    MainWindow w(settings);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(room.contains(w.frameGeometry()));
    // Every part is still there to use.
    QVERIFY(serverView(w)->height() > 0);
    QVERIFY(playerView(w)->height() > 0);
    QVERIFY(serverView(w)->geometry().right() < w.centralWidget()->width());
    w.hide();
  }
};

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "1.5");
  QApplication app(argc, argv);
  // Text at 150 % as well: a layout that grows with its text still fits.
  QFont text = QApplication::font();
  text.setPointSizeF(text.pointSizeF() * 1.5);
  QApplication::setFont(text);
  TestMainWindowFit test;
  return QTest::qExec(&test, argc, argv);
}

#include "TestMainWindowFit.moc"
