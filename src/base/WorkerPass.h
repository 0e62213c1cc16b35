#pragma once
// One worker pass on its own thread: the skeleton the scan, the anti-cheat
// worker and the announcer share. A pass is started once, runs pass() and
// records how it ended; every effect it has outside itself (view call, log
// entry, datagram) runs through touch(), so none happens once stop() has
// returned. Pauses and log headers go through the pass's WorkerTiming.
#include <atomic>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "base/ConsoleLogs.h"
#include "base/WorkerThread.h"
#include "base/WorkerTiming.h"

namespace tarvix {

enum class PassEnd {
  Running,
  Completed,       // pass() returned: the pass ran to its end
  Stopped,         // stop() ended it early
  ListUnreadable,  // a list file it needs could not be read
  Failed,          // an unexpected error ended it
};

class WorkerPass : public WorkerThread {
 public:
  using End = PassEnd;

  // A final pass class calls shutdown() first in its destructor, so that the
  // thread has ended before anything pass() uses goes away.
  virtual ~WorkerPass() = default;

  // Runs pass() on the worker's own thread; a second start does nothing.
  void start();
  bool finished() const { return end() != End::Running; }
  End end() const { return end_.load(); }

 protected:
  explicit WorkerPass(WorkerTiming timing = {}, ConsoleLogs* logs = nullptr);

  // The work of one pass, on the worker's thread. Returning ends it as
  // Completed unless endAs() recorded another ending.
  virtual void pass() = 0;
  // How an exception other than Stopped that left pass() ends the pass.
  virtual End endingFor(const std::exception&) const { return End::Failed; }
  // Records how the pass ends; the first recorded ending stands.
  void endAs(End end);

  template <typename F>
  auto touch(F&& f) {
    return guarded(std::forward<F>(f));
  }
  // Appends to one of the console logs, under the guard.
  void log(LogKind kind, std::string_view text);
  // Sleeps the scaled length of a nominal pause; throws Stopped when stopped.
  void pause(int nominalMs);
  // The real milliseconds of a nominal wait.
  int scaled(int nominalMs) const { return timing_.scaled(nominalMs); }
  // "<date> - <time>" of now, for a log header.
  std::string headerTime() const { return timing_.dateTime(timing_.now()); }

 private:
  void run();

  WorkerTiming timing_;
  ConsoleLogs* logs_;
  std::atomic<End> end_{End::Running};
};

}  // namespace tarvix
