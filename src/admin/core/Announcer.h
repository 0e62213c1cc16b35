#pragma once
// The map and message announcer: one pass on its own thread that reads the
// server's map and rotation, reports first, current and next map, announces
// the next map and sends every line of "messages.txt" as a chat line.
#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "admin/core/WorkerTiming.h"
#include "base/ConsoleLogs.h"
#include "base/WorkerThread.h"
#include "protocol/UdpClient.h"

namespace tarvix {

inline constexpr std::string_view kChatterError = "Messagethread error showing messages";
inline constexpr std::string_view kMapcheckEnd = "//mapcheck end";
// Nominal waits of a pass (scaled through WorkerTiming::scaled).
inline constexpr int kChatterStatusTimeoutMs = 90000;
inline constexpr int kChatterMapPauseMs = 5000;
inline constexpr int kChatterMessagePauseMs = 7500;

// What a pass reads from and changes in the admin console. Called on the
// worker's thread under the worker's guard, never after stop() has returned;
// implementations must not wait for the UI thread (it may be inside stop())
// and must not stop or destroy the worker themselves: post that instead.
class AnnouncerView {
 public:
  virtual ~AnnouncerView() = default;
  virtual std::string rconPassword() = 0;  // the password field, read for every datagram
  virtual void setStatusText(const std::string& text) = 0;
  // The console's announcer stop (Button6), run at the end of every pass.
  virtual void finishPass() = 0;
};

// First, current and next map of a status reply.
struct MapCycle {
  std::string firstMap;
  std::string currentMap;
  std::string nextMap;  // the first map when no name follows the current one
};
MapCycle readMapCycle(std::string_view reply);

struct AnnouncerSettings {
  std::string host;  // the console's server
  std::string port;
  WorkerTiming timing;
  ConsoleLogs* logs = &consoleLogs();
};

class Announcer : public WorkerThread {
 public:
  enum class End { Running, Completed, Stopped };

  Announcer(std::shared_ptr<AnnouncerView> view, AnnouncerSettings settings);
  // Stops the pass and waits for its thread.
  ~Announcer();
  Announcer(const Announcer&) = delete;
  Announcer& operator=(const Announcer&) = delete;

  // Runs one pass on the worker's own thread (the owner of IdUDPClient3).
  void start();
  bool finished() const { return end_.load() != End::Running; }
  End end() const { return end_.load(); }

 private:
  void run();
  void pass();
  template <typename F>
  auto touch(F&& f);
  void log(LogKind kind, std::string_view text);
  void pause(int nominalMs);
  bool sendDatagram(const std::string& datagram);

  std::shared_ptr<AnnouncerView> view_;
  AnnouncerSettings settings_;
  UdpClient IdUDPClient3;
  std::atomic<End> end_{End::Running};
};

}  // namespace tarvix
