#pragma once
// Start, stop and hand-over of the console's two workers: each pass runs on
// its own thread; its changes reach the window through the UI thread's event
// queue, in order, and are dropped once that pass has been stopped.
#include <memory>

namespace tarvix {

class AdminConsole;

class WorkerControl {
 public:
  explicit WorkerControl(AdminConsole* form) : form_(form) {}
  virtual ~WorkerControl() = default;
  WorkerControl(const WorkerControl&) = delete;
  WorkerControl& operator=(const WorkerControl&) = delete;

  // Starts a new pass on its own thread (a previous one is stopped first).
  virtual void start() = 0;
  // Stops the pass at once and waits for its thread. False when there was
  // nothing to stop: no pass, or one that had ended without finishing.
  virtual bool stop() = 0;
  // A pass was started and not stopped since.
  virtual bool hasPass() const = 0;

 protected:
  AdminConsole* form_;
};

std::unique_ptr<WorkerControl> makeAntiCheatControl(AdminConsole* form);
std::unique_ptr<WorkerControl> makeChatterControl(AdminConsole* form);

}  // namespace tarvix
