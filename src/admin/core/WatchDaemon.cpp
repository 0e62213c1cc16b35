#include "admin/core/WatchDaemon.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>

#include "base/Text.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"

namespace tarvix {

namespace {

using Clock = std::chrono::steady_clock;

const char* logName(LogKind kind) {
  switch (kind) {
    case LogKind::ScanLog:
      return "ScanLog";
    case LogKind::MapLog:
      return "MapLog";
    case LogKind::PlayerLog:
      return "PlayerLog";
    case LogKind::BadLog:
      break;
  }
  return "BadLog";
}

// A worker's settings: the watched server, its timing and the daemon's logs.
template <typename Settings>
Settings workerSettings(const WatchSettings& watched, ConsoleLogs& logs) {
  Settings s;
  s.host = watched.host;
  s.port = watched.port;
  s.timing = watched.timing;
  s.logs = &logs;
  return s;
}

// The first line of a reply, for a report.
std::string firstLine(std::string_view text) {
  std::size_t from = text.find_first_not_of("\r\n");
  if (from == std::string_view::npos) return {};
  std::size_t end = text.find_first_of("\r\n", from);
  return std::string(text.substr(from, end == std::string_view::npos ? text.npos : end - from));
}

}  // namespace

std::vector<std::string> outputLines(std::string_view entry) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (true) {
    const std::size_t lf = entry.find('\n', from);
    std::string_view line =
        entry.substr(from, lf == std::string_view::npos ? entry.npos : lf - from);
    if (lf != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(escapeControls(line));
    if (lf == std::string_view::npos || lf + 1 == entry.size()) break;
    from = lf + 1;
  }
  return lines;
}

// The console as the anti-cheat pass sees it: the command line's switches;
// the player list is not kept, its names reach PlayerLog.
class WatchDaemon::AntiCheatOutput : public AntiCheatView {
 public:
  explicit AntiCheatOutput(WatchDaemon* daemon) : d_(daemon) {}
  std::string rconPassword() override { return d_->settings_.password; }
  bool detectSkins() override { return d_->settings_.bans || d_->settings_.skins; }
  bool checkBans() override { return d_->settings_.bans; }
  bool checkSkins() override { return d_->settings_.skins; }
  int scanTimeout() override { return d_->settings_.scanTimeout; }
  void clearPlayers() override {}
  void addPlayer(int, const ConsolePlayer&) override {}
  void setPlayerText(int, PlayerColumn, const std::string&) override {}
  void addConsoleLine(const std::string& line) override { d_->say("Console", line); }
  void finishPass() override {}

 private:
  WatchDaemon* d_;
};

// The announcer's status texts repeat its MapLog entry and are left out.
class WatchDaemon::AnnouncerOutput : public AnnouncerView {
 public:
  explicit AnnouncerOutput(WatchDaemon* daemon) : d_(daemon) {}
  std::string rconPassword() override { return d_->settings_.password; }
  void setStatusText(const std::string&) override {}
  void finishPass() override {}

 private:
  WatchDaemon* d_;
};

WatchDaemon::WatchDaemon(WatchSettings settings, WatchOutput output)
    : settings_(std::move(settings)), output_(std::move(output)) {
  logs_.forwardTo([this](LogKind kind, std::string_view entry) { say(logName(kind), entry); });
  checker_.setServer(settings_.host, settings_.port);
  antiCheatView_ = std::make_shared<AntiCheatOutput>(this);
  announcerView_ = std::make_shared<AnnouncerOutput>(this);
}

WatchDaemon::~WatchDaemon() {
  antiCheat_.reset();
  announcer_.reset();
}

void WatchDaemon::say(std::string_view source, std::string_view text) {
  std::lock_guard lock(outputMutex_);
  for (const std::string& line : outputLines(text)) output_(source, line);
}

void WatchDaemon::run(const StopSignal& stop) {
  const auto interval = std::chrono::milliseconds(
      std::max(1, settings_.timing.scaled(settings_.everySeconds * 1000)));
  say("Watch", "watching " + settings_.host + ":" + settings_.port + " every " +
                   std::to_string(settings_.everySeconds) + " s: bans " +
                   (settings_.bans ? "on" : "off") + ", skins " + (settings_.skins ? "on" : "off") +
                   ", announcer " + (settings_.announce ? "on" : "off"));
  // As on the console: the anti-cheat pass starts at once, the announcer
  // with the first tick.
  Clock::time_point antiCheatAt = Clock::now();
  Clock::time_point announcerAt = antiCheatAt + interval;
  while (!stop.requested()) {
    const Clock::time_point now = Clock::now();
    const bool antiCheatDue = now >= antiCheatAt;
    const bool announcerDue = settings_.announce && now >= announcerAt;
    if (antiCheatDue) antiCheatAt = now + interval;
    if (announcerDue) announcerAt = now + interval;
    if (antiCheatDue || announcerDue) tick(antiCheatDue, announcerDue, stop);
    // After the password check: the passes run on their own threads.
    if (antiCheatDue && settings_.statusSeen && !stop.requested()) askStatus(stop);

    const Clock::time_point next =
        settings_.announce ? std::min(antiCheatAt, announcerAt) : antiCheatAt;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
    stop.waitFor(static_cast<int>(std::max<long long>(1, wait.count())));
  }
  // Both passes wake from any wait at once on their stop.
  if (antiCheat_) antiCheat_->stop();
  if (announcer_) announcer_->stop();
  antiCheat_.reset();
  announcer_.reset();
  say("Watch", "stopped");
}

void WatchDaemon::tick(bool antiCheatDue, bool announcerDue, const StopSignal& stop) {
  // A pass still running lets the tick pass, as the console's timers do.
  const bool startAntiCheat = antiCheatDue && (!antiCheat_ || antiCheat_->finished());
  const bool startAnnouncer = announcerDue && (!announcer_ || announcer_->finished());
  if (antiCheat_ && antiCheat_->finished()) {
    if (antiCheat_->end() == AntiCheatPass::End::ListUnreadable)
      reportListMissing();
    else
      listMissingReported_ = false;
  }
  if (!startAntiCheat && !startAnnouncer) return;

  const RconAccess access = checkAccess(stop);
  if (stop.requested() || access != RconAccess::Accepted) return;

  if (startAntiCheat) {
    antiCheat_ = std::make_unique<AntiCheatPass>(
        antiCheatView_, workerSettings<AntiCheatSettings>(settings_, logs_));
    antiCheat_->start();
  }
  if (startAnnouncer) {
    announcer_ = std::make_unique<Announcer>(announcerView_,
                                             workerSettings<AnnouncerSettings>(settings_, logs_));
    announcer_->start();
  }
}

RconAccess WatchDaemon::checkAccess(const StopSignal& stop) {
  // As in the console: without a password no rcon datagram goes out.
  if (settings_.password.empty()) {
    if (lastAccess_ != RconAccess::Refused)
      say("Watch",
          "no rcon password for " + settings_.host + ":" + settings_.port + ": nothing is sent");
    lastAccess_ = RconAccess::Refused;
    return RconAccess::Refused;
  }
  ++checks_;
  std::string error;
  UdpResult reply;
  if (checker_.recreate(&error)) {
    reply = rconQuery(checker_, settings_.password, "status", settings_.scanTimeout, &stop);
  } else {
    reply.outcome = UdpOutcome::Failed;
    reply.error = error;
  }
  if (reply.outcome == UdpOutcome::Stopped) return RconAccess::Silent;
  const std::string text = reply.ok() ? reply.bytes : std::string();
  const RconAccess access = rconAccess(text);
  if (lastAccess_ == access) return access;
  lastAccess_ = access;

  const std::string server = settings_.host + ":" + settings_.port;
  const std::string every = std::to_string(settings_.everySeconds) + " s";
  switch (access) {
    case RconAccess::Accepted:
      say("Watch", server + " answers and takes the rcon password");
      break;
    case RconAccess::Refused:
      say("Watch", "rcon password refused by " + server + " (\"" + firstLine(text) +
                       "\"): nothing is sent until it is taken; checking again every " + every);
      break;
    case RconAccess::Silent:
      say("Watch", "no answer from " + server +
                       (reply.failed() ? " (" + reply.error + ")" : std::string()) +
                       "; checking again every " + every);
      break;
  }
  return access;
}

void WatchDaemon::askStatus(const StopSignal& stop) {
  UdpClient client;
  const Clock::time_point sent = Clock::now();
  const UdpResult reply =
      queryStatus(client, settings_.host, settings_.port, settings_.scanTimeout, &stop);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
  if (reply.ok()) settings_.statusSeen(reply.bytes, static_cast<int>(ms.count()));
}

void WatchDaemon::reportListMissing() {
  if (listMissingReported_) return;
  listMissingReported_ = true;
  say("Watch", "bans.txt or skins.txt cannot be read: the anti-cheat pass ends before kicking");
}

}  // namespace tarvix
