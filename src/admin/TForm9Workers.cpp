// Worker control of the console: starting and stopping the anti-cheat worker
// and the announcer.
#include "admin/TForm9Workers.h"

#include <thread>

#include "admin/TForm9.h"
#include "app/core/ConsoleLogs.h"
#include "protocol/UdpClient.h"

namespace tarvix {

struct TWorkerRun {
  TStopSignal stop;
  std::thread thread;
};

TWorkerControl::~TWorkerControl() { stop(); }

void TWorkerControl::start() {
  stop();
  run_ = std::make_shared<TWorkerRun>();
  auto run = run_;
  run->thread = std::thread([this, run] { runPass(run); });
}

bool TWorkerControl::stop() {
  if (!run_) return false;
  std::shared_ptr<TWorkerRun> run = std::move(run_);
  run_.reset();
  run->stop.request();
  if (run->thread.joinable()) run->thread.join();
  return true;
}

void TAntiCheatControl::runPass(const std::shared_ptr<TWorkerRun>&) {}
void TChatterControl::runPass(const std::shared_ptr<TWorkerRun>&) {}

void TForm9::startAntiCheat() {
  antiCheat_->start();
  AntiCheatRunning = true;
}

void TForm9::startChatter() {
  chatter_->start();
  ChatterRunning = true;
}

void TForm9::Button5Click() {
  if (!AntiCheatRunning) return;
  AntiCheatRunning = false;
  if (!antiCheat_->stop()) consoleLogs().append(LogKind::BadLog, "Anticheatthread bad termination");
}

void TForm9::Button6Click() {
  if (!ChatterRunning) return;
  ChatterRunning = false;
  if (!chatter_->stop()) consoleLogs().append(LogKind::BadLog, "Anticheatthread bad termination");
}

void TForm9::Timer1Timer() {
  if (!AntiCheatRunning) startAntiCheat();
}

void TForm9::Timer2Timer() {
  if (!ChatterRunning) startChatter();
}

void TForm9::stopWorkers() {
  antiCheat_->stop();
  chatter_->stop();
}

}  // namespace tarvix
