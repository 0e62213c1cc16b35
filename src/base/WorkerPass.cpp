#include "base/WorkerPass.h"

namespace tarvix {

WorkerPass::WorkerPass(WorkerTiming timing, ConsoleLogs* logs)
    : timing_(std::move(timing)), logs_(logs ? logs : &consoleLogs()) {}

void WorkerPass::start() {
  launch([this] { run(); });
}

void WorkerPass::endAs(End end) {
  End running = End::Running;
  end_.compare_exchange_strong(running, end);
}

void WorkerPass::log(LogKind kind, std::string_view text) {
  touch([&] { logs_->append(kind, text); });
}

void WorkerPass::pause(int nominalMs) { pauseFor(timing_.scaled(nominalMs)); }

// Nothing escapes the thread.
void WorkerPass::run() {
  try {
    pass();
    endAs(End::Completed);
  } catch (const Stopped&) {
    endAs(End::Stopped);
  } catch (const std::exception& e) {
    endAs(endingFor(e));
  } catch (...) {
    endAs(End::Failed);
  }
}

}  // namespace tarvix
