// "scan servers in parallel" and its retries: off and 0 by default, kept in
// the extra settings file at once, read again when the window is shown, and
// below the Options content.
#include <QCheckBox>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QtTest>

#include "app/core/ScanPass.h"
#include "components/IniSettings.h"
#include "lists/ExtraOptions.h"
#include "lists/OptionsWindow.h"
#include "lists/ScanState.h"
#include "store/Settings.h"
#include "support/TempDataDir.h"

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
    window.hide();

    // The retries share the row, right of the check box.
    auto* retries = window.findChild<QSpinBox*>("ScanRetriesSpinBox");
    auto* label = window.findChild<QLabel*>("ScanRetriesLabel");
    QVERIFY(retries && label);
    QCOMPARE(label->text(), QString("retries:"));
    QCOMPARE(retries->value(), 0);
    QCOMPARE(retries->minimum(), 0);
    QCOMPARE(retries->maximum(), kMaxScanRetries);
    QVERIFY(window.rect().contains(retries->geometry()));
    QVERIFY(!box->geometry().intersects(label->geometry()));
    QVERIFY(!label->geometry().intersects(retries->geometry()));
    QVERIFY(retries->geometry().top() >= 96);
    retries->setValue(2);
    QCOMPARE(IniSettings().scanRetries(), 2);
    QVERIFY(dir.read("tarvix.ini").find("retries=2") != std::string::npos);
    // A hand-edited number outside the range is taken at its nearest end.
    for (const auto& [stored, read] : {std::pair{"-1", 0}, {"9", 9}, {"10", 9}}) {
      QSettings("tarvix.ini", QSettings::IniFormat).setValue("Scan/retries", stored);
      QCOMPARE(IniSettings().scanRetries(), read);
    }
    IniSettings().setScanRetries(1);
    window.show();
    QCOMPARE(retries->value(), 1);
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
    QCOMPARE(IniSettings().scanRetries(), 0);
  }
};

QTEST_MAIN(TestParallelScanOption)
#include "TestParallelScanOption.moc"
