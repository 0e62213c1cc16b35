#pragma once
// Start, stop and hand-over of the console's two workers: each pass runs on
// its own thread; its changes reach the window through the UI thread's event
// queue, in order, and are dropped once that pass has been stopped.
#include <memory>

namespace tarvix {

class TForm9;

class TWorkerControl {
 public:
  explicit TWorkerControl(TForm9* form) : form_(form) {}
  virtual ~TWorkerControl() = default;
  TWorkerControl(const TWorkerControl&) = delete;
  TWorkerControl& operator=(const TWorkerControl&) = delete;

  // Starts a new pass on its own thread (a previous one is stopped first).
  virtual void start() = 0;
  // Stops the pass at once and waits for its thread. False when there was
  // nothing to stop: no pass, or one that had ended without finishing.
  virtual bool stop() = 0;
  // A pass was started and not stopped since.
  virtual bool hasPass() const = 0;

 protected:
  TForm9* form_;
};

std::unique_ptr<TWorkerControl> MakeAntiCheatControl(TForm9* form);
std::unique_ptr<TWorkerControl> MakeChatterControl(TForm9* form);

}  // namespace tarvix
