#pragma once
// The admin console's two workers without a window: the anti-cheat pass and
// the announcer run against one server at a fixed interval until stopped,
// and every log entry and console line goes out as text lines.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "admin/core/Announcer.h"
#include "admin/core/AntiCheatPass.h"
#include "base/StopSignal.h"
#include "protocol/Rcon.h"
#include "protocol/UdpClient.h"

namespace tarvix {

inline constexpr int kWatchDefaultEverySeconds = 150;  // the console's timers

struct WatchSettings {
  std::string host;
  std::string port;
  std::string password;
  bool bans = false;      // kick the players of "bans.txt"
  bool skins = false;     // kick the wearers of a skin of "skins.txt"
  bool announce = false;  // run the announcer
  int everySeconds = kWatchDefaultEverySeconds;
  int scanTimeout = 500;  // reply time-out of the anti-cheat pass and the password check
  WorkerTiming timing;    // scales the passes' pauses and the interval (tests)
  // When set, the server's status reply (and its time in milliseconds) at
  // the start of every interval, for the history.
  std::function<void(const std::string& reply, int replyMs)> statusSeen;
  bool recordHistory = true;  // false with --no-history; the mode sets statusSeen
};

// Receives one output line: the log's name ("ScanLog", "PlayerLog",
// "MapLog", "BadLog"), "Console" for a console line, or "Watch" for the
// daemon's own reports; the text has its control bytes escaped as \xNN.
// Called from the daemon's and the passes' threads, one line at a time.
using WatchOutput = std::function<void(std::string_view source, std::string_view text)>;

class WatchDaemon {
 public:
  WatchDaemon(WatchSettings settings, WatchOutput output);
  ~WatchDaemon();
  WatchDaemon(const WatchDaemon&) = delete;
  WatchDaemon& operator=(const WatchDaemon&) = delete;

  // Runs until `stop` is requested, then stops the passes at once and waits
  // for their threads.
  void run(const StopSignal& stop);

  // Rcon datagrams the password check sent (one per interval at most).
  int passwordChecks() const { return checks_.load(); }

 private:
  class AntiCheatOutput;
  class AnnouncerOutput;

  void tick(bool antiCheatDue, bool announcerDue, const StopSignal& stop);
  RconAccess checkAccess(const StopSignal& stop);
  void reportListMissing();
  void askStatus(const StopSignal& stop);
  void say(std::string_view source, std::string_view text);

  WatchSettings settings_;
  WatchOutput output_;
  std::mutex outputMutex_;
  ConsoleLogs logs_;
  UdpClient checker_;
  std::shared_ptr<AntiCheatView> antiCheatView_;
  std::shared_ptr<AnnouncerView> announcerView_;
  std::unique_ptr<AntiCheatPass> antiCheat_;
  std::unique_ptr<Announcer> announcer_;
  std::optional<RconAccess> lastAccess_;
  bool listMissingReported_ = false;
  std::atomic<int> checks_{0};
};

// Splits an entry at its line breaks (CR LF or LF) and escapes every byte
// below 0x20 and 0x7F as \xNN: server texts never start a line of their own.
std::vector<std::string> outputLines(std::string_view entry);

}  // namespace tarvix
