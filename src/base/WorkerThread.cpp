#include "base/WorkerThread.h"

#include <system_error>

namespace tarvix {

void WorkerThread::stop() {
  {
    std::lock_guard lock(guard_);
    stopped_ = true;
  }
  stop_.request();
}

bool WorkerThread::stopped() {
  std::lock_guard lock(guard_);
  return stopped_;
}

bool WorkerThread::join() {
  if (!thread_.joinable()) return true;
  try {
    thread_.join();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void WorkerThread::shutdown() {
  stop();
  if (!join() && thread_.joinable()) thread_.detach();
}

void WorkerThread::launch(std::function<void()> body) {
  if (thread_.joinable()) return;
  thread_ = std::thread(std::move(body));
}

void WorkerThread::pauseFor(int ms) {
  if (stop_.waitFor(ms)) throw Stopped{};
}

}  // namespace tarvix
