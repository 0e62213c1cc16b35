#include "lists/StatusWait.h"

#include <QEventLoop>
#include <QMetaObject>
#include <atomic>
#include <thread>

#include "protocol/StatusQuery.h"

namespace tarvix {

std::string WaitForStatusReply(UdpClient& client, const std::string& host,
                               const std::string& port, int timeoutMs) {
  // A fresh socket, so a late answer to an earlier query is never read.
  client.recreate();
  TStopSignal stop;
  std::atomic<bool> done{false};
  std::string reply;
  QEventLoop loop;
  std::thread worker([&] {
    UdpResult r = QueryStatus(client, host, port, timeoutMs, &stop);
    if (r.ok()) reply = std::move(r.bytes);
    done.store(true, std::memory_order_release);
    QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  if (!done.load(std::memory_order_acquire)) loop.exec();
  // The loop also ends when the program quits: abandon the query then.
  if (!done.load(std::memory_order_acquire)) stop.request();
  worker.join();
  if (stop.requested()) return {};
  return reply;
}

}  // namespace tarvix
