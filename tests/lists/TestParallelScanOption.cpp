// "scan servers in parallel": off by default, kept in the extra settings file
// at once, read again when the window is shown, and below the Options content.
#include <QCheckBox>
#include <QtTest>

#include "TempDataDir.h"
#include "components/IniSettings.h"
#include "lists/ExtraOptions.h"
#include "lists/OptionsWindow.h"
#include "lists/ScanState.h"
#include "store/Settings.h"

using namespace tarvix;
using tarvix::test::TempDataDir;

class TestParallelScanOption : public QObject {
  Q_OBJECT

 private slots:
  void storedAtOnceAndReadOnShow() {
    TempDataDir dir;
    dir.writeInstallation({});
    QWidget window;
    window.setFixedSize(200, 100);
    QCheckBox* box = addParallelScanOption(&window);
    QCOMPARE(box->objectName(), QString("ParallelScanCheckBox"));
    QCOMPARE(box->text(), QString("scan servers in parallel"));
    QVERIFY(!box->isChecked());
    QCOMPARE(window.height(), 124);
    QVERIFY(box->geometry().top() >= 96 && box->geometry().bottom() < 124);

    box->setChecked(true);
    QVERIFY(IniSettings().parallelScan());
    QVERIFY(dir.read("tarvix.ini").find("parallel=true") != std::string::npos);
    // Config keeps its own lines.
    QVERIFY(dir.read("Config").find("parallel") == std::string::npos);

    IniSettings().setParallelScan(false);
    window.show();
    QVERIFY(!box->isChecked());
    window.hide();
    IniSettings().setParallelScan(true);
    window.show();
    QVERIFY(box->isChecked());
  }

  void optionsWindowHasIt() {
    TempDataDir dir;
    dir.writeInstallation({});
    struct NoScan : ScanState {
      bool scanRunning() const override { return false; }
      bool autoScanRunning() const override { return false; }
    } scan;
    Settings settings;
    OptionsWindow options(settings, scan);
    auto* box = options.findChild<QCheckBox*>("ParallelScanCheckBox");
    QVERIFY(box);
    QVERIFY(!box->isChecked());
    QVERIFY(options.rect().contains(box->geometry()));
    // The buddy alerts below it, off until ticked, stored on their own.
    auto* alerts = options.findChild<QCheckBox*>("BuddyAlertsCheckBox");
    QVERIFY(alerts);
    QVERIFY(!alerts->isChecked());
    QVERIFY(options.rect().contains(alerts->geometry()));
    QVERIFY(alerts->geometry().top() > box->geometry().bottom());
    alerts->setChecked(true);
    QVERIFY(IniSettings().buddyAlerts());
    QVERIFY(!IniSettings().parallelScan());
  }
};

QTEST_MAIN(TestParallelScanOption)
#include "TestParallelScanOption.moc"
