#pragma once
// Start, stop and hand-over of one of the console's two workers: each pass
// runs on its own thread; its changes reach the window through the UI
// thread's event queue, in order, and are dropped once that pass has been
// stopped.
#include <functional>
#include <memory>

#include "base/WorkerPass.h"
#include "protocol/UdpClient.h"

namespace tarvix {

class AdminConsole;

// UI-thread state of one pass: once stopped, its posted changes are dropped.
struct PassState {
  bool stopped = false;
};

class WorkerControl {
 public:
  // Makes a new pass whose view posts changes guarded by `state`.
  using MakePass = std::function<std::unique_ptr<WorkerPass>(std::shared_ptr<PassState> state)>;

  explicit WorkerControl(MakePass makePass) : makePass_(std::move(makePass)) {}
  ~WorkerControl() { stopPass(); }
  WorkerControl(const WorkerControl&) = delete;
  WorkerControl& operator=(const WorkerControl&) = delete;

  // A pass was started and its stop button has not run since.
  bool running() const { return running_; }
  // Starts a new pass on its own thread (a previous one is stopped first).
  void start();
  // start(), unless running().
  void startIfIdle();
  // The worker's stop button: nothing unless running(); clears the flag and
  // stops the pass. A pass that ended without reaching its own stop is
  // logged as a bad termination.
  void finish();
  // Stops the pass at once and waits for its thread, changing no flag. False
  // when there was nothing to stop: no pass, or one that had ended without
  // finishing.
  bool stopPass();

 private:
  MakePass makePass_;
  std::shared_ptr<PassState> state_;
  std::unique_ptr<WorkerPass> pass_;
  bool running_ = false;
};

// The console's two workers, their views posting to `console`.
// `aim` gives the server each new pass aims its own client at.
std::unique_ptr<WorkerControl> makeAntiCheatControl(AdminConsole* console, const UdpClient& aim);
std::unique_ptr<WorkerControl> makeAnnouncerControl(AdminConsole* console, const UdpClient& aim);

}  // namespace tarvix
