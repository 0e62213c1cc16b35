// Changes from a worker thread applied on the window's thread: in order, the
// superseded ones dropped, the event loop running between slices, nothing
// after the receiver is gone.
#include <QTimer>
#include <QtTest>
#include <memory>
#include <thread>
#include <vector>

#include "components/ChangeBatcher.h"

using namespace tarvix;

class TestChangeBatcher : public QObject {
  Q_OBJECT

 private slots:
  void changesFromAThreadRunInOrderAndOnlyTheLatestOfAKey() {
    QObject receiver;
    ChangeBatcher batcher(&receiver);
    std::vector<int> applied;  // touched on this thread only
    int scroll = -1;
    int scrolls = 0;
    constexpr int kChanges = 20000;
    std::thread worker([&] {
      for (int i = 0; i < kChanges; ++i) {
        batcher.post([&applied, &receiver, i] {
          QCOMPARE(QThread::currentThread(), receiver.thread());
          applied.push_back(i);
        });
        batcher.post(
            [&scroll, &scrolls, i] {
              scroll = i;
              ++scrolls;
            },
            1);
      }
    });
    worker.join();
    QTRY_COMPARE_WITH_TIMEOUT(static_cast<int>(applied.size()), kChanges, 20000);
    for (int i = 0; i < kChanges; ++i) QCOMPARE(applied[i], i);
    // Everything was posted before the first slice ran: one scroll, the last.
    QCOMPARE(scroll, kChanges - 1);
    QCOMPARE(scrolls, 1);
    QCOMPARE(batcher.pending(), std::size_t(0));
  }

  void theEventLoopRunsBetweenSlices() {
    QObject receiver;
    ChangeBatcher batcher(&receiver, std::chrono::milliseconds(0));
    QStringList order;
    batcher.post([&] {
      order << "change 1";
      // Posted while the first slice runs: handled before the next slice.
      QTimer::singleShot(0, &receiver, [&] { order << "timer"; });
    });
    batcher.post([&] { order << "change 2"; });
    batcher.post([&] { order << "change 3"; });
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), 4, 5000);
    QCOMPARE(order, QStringList({"change 1", "timer", "change 2", "change 3"}));
  }

  void nothingRunsOnceTheReceiverIsGone() {
    auto receiver = std::make_unique<QObject>();
    bool ran = false;
    ChangeBatcher batcher(receiver.get());
    batcher.post([&] { ran = true; });
    receiver.reset();
    batcher.post([&] { ran = true; });
    QTest::qWait(50);
    QVERIFY(!ran);
  }
};

QTEST_MAIN(TestChangeBatcher)
#include "TestChangeBatcher.moc"
