// The background-work helper: results reach the UI thread, a cancelled or
// orphaned task delivers nothing, and a stop wakes a job inside its wait.
#include <QtTest>
#include <atomic>
#include <chrono>

#include "components/Background.h"

using namespace tarvix;

class TestBackground : public QObject {
  Q_OBJECT

 private slots:
  void resultArrivesOnTheUiThread() {
    QObject receiver;
    Qt::HANDLE deliveredOn = nullptr;
    int result = 0;
    BackgroundTask task = runInBackground(
        &receiver, [](const StopSignal&) { return 42; },
        [&](int r) {
          result = r;
          deliveredOn = QThread::currentThreadId();
        });
    QTRY_COMPARE_WITH_TIMEOUT(result, 42, 5000);
    QCOMPARE(deliveredOn, QThread::currentThreadId());
    QVERIFY(task.delivered());
    QVERIFY(!task.pending());
  }

  void cancelWakesTheJobAndDropsItsResult() {
    QObject receiver;
    bool delivered = false;
    std::atomic<bool> woke{false};
    BackgroundTask task = runInBackground(
        &receiver,
        [&](const StopSignal& stop) {
          woke = stop.waitFor(60'000);
          return 1;
        },
        [&](int) { delivered = true; });
    QVERIFY(task.pending());
    task.cancel();
    QTRY_VERIFY_WITH_TIMEOUT(woke.load(), 5000);
    QTest::qWait(50);  // a delivery, had one been posted, runs here
    QVERIFY(!delivered);
    QVERIFY(!task.pending());
  }

  void destroyedReceiverGetsNothing() {
    bool delivered = false;
    std::atomic<bool> release{false};
    auto* receiver = new QObject;
    runInBackground(
        receiver,
        [&](const StopSignal& stop) {
          while (!release && !stop.waitFor(5)) {
          }
        },
        [&] { delivered = true; });
    delete receiver;
    release = true;
    QTRY_COMPARE_WITH_TIMEOUT(BackgroundJobs::instance().count(), std::size_t(0), 5000);
    QTest::qWait(50);
    QVERIFY(!delivered);
  }

  void stopAllJoinsJobsStillWaiting() {
    QObject receiver;
    for (int i = 0; i < 3; ++i)
      runInBackground(
          &receiver, [](const StopSignal& stop) { stop.waitFor(60'000); }, [] {});
    const auto start = std::chrono::steady_clock::now();
    BackgroundJobs::instance().stopAll();
    QCOMPARE(BackgroundJobs::instance().count(), std::size_t(0));
    QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
  }
};

QTEST_MAIN(TestBackground)
#include "TestBackground.moc"
