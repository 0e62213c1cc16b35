#pragma once
// The map and message announcer: one pass on its own thread that reads the
// server's map and rotation, reports first, current and next map, announces
// the next map and sends every line of "messages.txt" as a chat line.
#include <memory>
#include <string>
#include <string_view>

#include "admin/core/ConsolePass.h"

namespace tarvix {

inline constexpr std::string_view kAnnouncerError = "Messagethread error showing messages";
inline constexpr std::string_view kMapcheckEnd = "//mapcheck end";
// Nominal waits of a pass (scaled through the pass's WorkerTiming).
inline constexpr int kAnnouncerStatusTimeoutMs = 90000;
inline constexpr int kAnnouncerMapPauseMs = 5000;
inline constexpr int kAnnouncerMessagePauseMs = 7500;

// What a pass reads from and changes in the admin console. Called on the
// worker's thread under the worker's guard, never after stop() has returned;
// implementations must not wait for the UI thread (it may be inside stop())
// and must not stop or destroy the worker themselves: post that instead.
class AnnouncerView {
 public:
  virtual ~AnnouncerView() = default;
  // The password field, read for every datagram; empty: no rcon password,
  // and the pass announces nothing.
  virtual std::string rconPassword() = 0;
  virtual void setStatusText(const std::string& text) = 0;
  // The console's announcer stop, run at the end of every pass.
  virtual void finishPass() = 0;
};

// First, current and next map of a status reply.
struct MapCycle {
  std::string firstMap;
  std::string currentMap;
  std::string nextMap;  // the first map when no name follows the current one
};
MapCycle readMapCycle(std::string_view reply);

using AnnouncerSettings = ConsolePassSettings;

// Always ends Completed (after finishPass()) unless stopped; a socket or
// file failure is logged.
class Announcer final : public ConsolePass<AnnouncerView> {
 public:
  using ConsolePass::ConsolePass;
  // Stops the pass and waits for its thread.
  ~Announcer() override;

 private:
  void pass() override;
  bool sendDatagram(const std::string& datagram);
};

}  // namespace tarvix
