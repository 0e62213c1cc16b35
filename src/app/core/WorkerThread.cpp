#include "app/core/WorkerThread.h"

#include <system_error>

namespace tarvix {

void TWorkerThread::stop() {
  {
    std::lock_guard lock(guard_);
    stopped_ = true;
  }
  stop_.request();
}

bool TWorkerThread::join() {
  if (!thread_.joinable()) return true;
  try {
    thread_.join();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void TWorkerThread::shutdown() {
  stop();
  if (!join() && thread_.joinable()) thread_.detach();
}

void TWorkerThread::launch(std::function<void()> body) {
  if (thread_.joinable()) return;
  thread_ = std::thread(std::move(body));
}

void TWorkerThread::pauseFor(int ms) {
  if (stop_.waitFor(ms)) throw Stopped{};
}

}  // namespace tarvix
