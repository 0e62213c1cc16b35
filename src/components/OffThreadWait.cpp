#include "components/OffThreadWait.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <atomic>
#include <thread>

namespace tarvix {

bool runOffUiThread(const std::function<void(const StopSignal& stop)>& job) {
  StopSignal stop;
  std::atomic<bool> done{false};
  QEventLoop loop;
  std::thread worker([&] {
    job(stop);
    done.store(true, std::memory_order_release);
    QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  if (!done.load(std::memory_order_acquire)) loop.exec();
  const bool finished = done.load(std::memory_order_acquire);
  if (!finished) stop.request();
  worker.join();
  return finished && !stop.requested();
}

}  // namespace tarvix
