#pragma once
// Start, stop and hand-over of the console's two workers: each pass runs on
// its own thread; its changes reach the window through the UI thread's event
// queue and are dropped once that pass has been stopped.
#include <memory>

namespace tarvix {

class TForm9;
struct TWorkerRun;

class TWorkerControl {
 public:
  explicit TWorkerControl(TForm9* form) : form_(form) {}
  virtual ~TWorkerControl();
  TWorkerControl(const TWorkerControl&) = delete;
  TWorkerControl& operator=(const TWorkerControl&) = delete;

  // Starts a new pass on its own thread.
  void start();
  // Stops the pass at once and waits for its thread. False when there was
  // nothing to stop: no pass, or one that had already ended by itself.
  bool stop();
  // A pass was started and its thread has not been joined.
  bool hasRun() const { return static_cast<bool>(run_); }

 protected:
  virtual void runPass(const std::shared_ptr<TWorkerRun>& run) = 0;
  TForm9* form_;

 private:
  std::shared_ptr<TWorkerRun> run_;
};

class TAntiCheatControl : public TWorkerControl {
 public:
  using TWorkerControl::TWorkerControl;

 protected:
  void runPass(const std::shared_ptr<TWorkerRun>& run) override;
};

class TChatterControl : public TWorkerControl {
 public:
  using TWorkerControl::TWorkerControl;

 protected:
  void runPass(const std::shared_ptr<TWorkerRun>& run) override;
};

}  // namespace tarvix
