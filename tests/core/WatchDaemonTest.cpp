// The admin daemon against a scripted server: the console's passes, their
// log lines as output, the password check and a server that goes away.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "admin/core/WatchDaemon.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"
#include "support/FakeGameServer.h"
#include "support/HeadlessWorkerViews.h"
#include "support/TempDataDir.h"

namespace tarvix {
namespace {

using namespace test;

constexpr const char* kPassword = "secret";

struct FakePlayer {
  std::string name, axisSkin, alliesSkin, ip;
};
const std::vector<FakePlayer> kPlayers = {
    {"Alpha", "german_wehrmacht_soldier", "allied_airborne", "192.168.1.20"},
    {"bob", "german_elite_sentry", "allied_sas", "10.0.0.5"},
};

// Answers the status query, "dumpuser" and "status" for kPlayers while up;
// every rcon datagram gets `refusal` instead when that is set.
class AdminServer {
 public:
  // The refusal is fixed before the server's thread may read it.
  explicit AdminServer(std::string refusal = {}) : refusal(std::move(refusal)) {
    server.setResponder([this](const FakeDatagram& d) { return answer(d.bytes); });
  }
  std::atomic<bool> up{true};
  const std::string refusal;

 private:
  FakeAnswer answer(const std::string& bytes) {
    if (!up) return FakeAnswer::silence();
    if (bytes == statusRequest()) {
      return FakeAnswer::reply(makeStatusReply(
          "\\sv_hostname\\Admin\\mapname\\obj/obj_team2\\sv_maplist\\obj/obj_team1 obj/obj_team2",
          {{35, "Alpha"}, {120, "bob"}}));
    }
    if (!refusal.empty()) return FakeAnswer::reply(makePrintReply(refusal));
    for (const FakePlayer& p : kPlayers)
      if (bytes == rconRequest(kPassword, "dumpuser \"" + p.name + "\""))
        return FakeAnswer::reply(
            makePrintReply("\nuserinfo\n--------\nname                 : " + p.name +
                           "\nrate                 : 25000\ndm_playergermanmodel : " + p.axisSkin +
                           "\ndm_playermodel       : " + p.alliesSkin + "\n"));
    if (bytes == rconRequest(kPassword, "status")) {
      std::string table = "\nmap: obj/obj_team2\nnum score ping name            lastmsg address\n";
      for (const FakePlayer& p : kPlayers)
        table += "  0 3   35 " + p.name + "      0 " + p.ip + ":12203  1234 25000\n";
      return FakeAnswer::reply(makePrintReply(table));
    }
    return FakeAnswer::silence();
  }

 public:
  FakeGameServer server;  // last: its thread stops before the script goes
};

WatchSettings switches(bool bans, bool skins, bool announce, int everySeconds) {
  WatchSettings s;
  s.bans = bans;
  s.skins = skins;
  s.announce = announce;
  s.everySeconds = everySeconds;
  return s;
}

std::vector<std::string> sent(const FakeGameServer& server) {
  std::vector<std::string> out;
  for (const FakeDatagram& d : server.received()) out.push_back(d.bytes);
  return out;
}

// A daemon on its own thread, its output collected.
class RunningDaemon {
 public:
  RunningDaemon(const FakeGameServer& server, WatchSettings s, int scaleDivisor,
                const std::string& password = kPassword) {
    s.host = FakeGameServer::host();
    s.port = server.portText();
    s.password = password;
    s.scanTimeout = 300;
    s.timing.scaled = [scaleDivisor](int ms) { return ms / scaleDivisor; };
    daemon_ =
        std::make_unique<WatchDaemon>(s, [this](std::string_view source, std::string_view text) {
          std::lock_guard lock(mu_);
          lines_.push_back(std::string(source) + " " + std::string(text));
        });
    done_ = std::async(std::launch::async, [this] { daemon_->run(stop_); });
  }
  ~RunningDaemon() { stop(); }

  // Waits (bounded) until a line equal to `line` has been written.
  bool waitForLine(const std::string& line, int timeoutMs = 10000) const {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
      if (count(line) > 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  int count(const std::string& line) const {
    std::lock_guard lock(mu_);
    return static_cast<int>(std::count(lines_.begin(), lines_.end(), line));
  }
  int countStartingWith(const std::string& prefix) const {
    std::lock_guard lock(mu_);
    return static_cast<int>(std::count_if(
        lines_.begin(), lines_.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
  }
  bool stop() {
    stop_.request();
    return done_.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  }
  const WatchDaemon& daemon() const { return *daemon_; }

 private:
  mutable std::mutex mu_;
  std::vector<std::string> lines_;
  StopSignal stop_;
  std::unique_ptr<WatchDaemon> daemon_;
  std::future<void> done_;
};

TEST(WatchDaemon, SendsWhatTheConsolesPassSendsAndPrintsItsLogs) {
  TempDataDir dir;
  dir.writeInstallation();
  dir.writeLines("bans.txt", {"BOB"});
  dir.writeLines("skins.txt", {"allied_airborne"});

  // The console's pass, as its window runs it.
  AdminServer console;
  {
    auto view = std::make_shared<test::HeadlessAntiCheatView>();
    view->setPassword(kPassword);
    view->DetectSkins = true;
    view->CheckBans = true;
    ConsoleLogs logs;
    AntiCheatSettings s;
    s.host = FakeGameServer::host();
    s.port = console.server.portText();
    s.timing.scaled = [](int ms) { return ms / 100; };
    s.logs = &logs;
    AntiCheatPass pass(view, s);
    pass.start();
    ASSERT_TRUE(pass.join());
    ASSERT_EQ(pass.end(), AntiCheatPass::End::Completed);
  }
  const std::vector<std::string> expected = sent(console.server);
  ASSERT_GT(expected.size(), 6u);  // status step, two kicks, a say

  AdminServer watched;
  RunningDaemon run(watched.server, switches(true, true, false, 3600), 100);
  ASSERT_TRUE(run.waitForLine("PlayerLog //scan end"));
  ASSERT_TRUE(watched.server.waitForCount(expected.size() + 1, 5000));
  ASSERT_TRUE(run.stop());

  std::vector<std::string> got = sent(watched.server);
  ASSERT_FALSE(got.empty());
  // One password check ahead of the pass, then the console's datagrams.
  EXPECT_EQ(got.front(), rconRequest(kPassword, "status"));
  got.erase(got.begin());
  EXPECT_EQ(got, expected);

  EXPECT_EQ(run.count("PlayerLog Alpha"), 1);
  EXPECT_EQ(run.count("ScanLog baned player kicked:  bob"), 1);
  EXPECT_EQ(run.count("ScanLog IP: 10.0.0.5"), 1);
  EXPECT_EQ(run.count("Console !! -> baned player kicked: bob IP: 10.0.0.5"), 1);
  EXPECT_EQ(
      run.count(
          "Console !! -> Alpha kicked - customskin allied_airborne detected ! IP: 192.168.1.20"),
      1);
  EXPECT_EQ(run.count("Watch watching 127.0.0.1:" + watched.server.portText() +
                      " every 3600 s: bans on, skins on, announcer off"),
            1);
  EXPECT_EQ(run.count("Watch stopped"), 1);
}

TEST(WatchDaemon, SkinsOffKicksBannedPlayersOnly) {
  TempDataDir dir;
  dir.writeInstallation();
  dir.writeLines("bans.txt", {"bob"});
  dir.writeLines("skins.txt", {"allied_airborne"});
  AdminServer watched;
  RunningDaemon run(watched.server, switches(true, false, false, 3600), 100);
  ASSERT_TRUE(run.waitForLine("PlayerLog //scan end"));
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.count("Console !! -> baned player kicked: bob IP: 10.0.0.5"), 1);
  EXPECT_EQ(
      run.count(
          "Console !! -> Alpha kicked - customskin allied_airborne detected ! IP: 192.168.1.20"),
      0);
}

TEST(WatchDaemon, SurvivesASilentServerAndResumesWhenItReturns) {
  TempDataDir dir;
  dir.writeInstallation();
  dir.writeLines("messages.txt", {"welcome"});
  AdminServer watched;
  watched.up = false;
  // A tick every 20 ms.
  RunningDaemon run(watched.server, switches(false, false, true, 1), 50);
  const std::string silent =
      "Watch no answer from 127.0.0.1:" + watched.server.portText() + "; checking again every 1 s";
  ASSERT_TRUE(run.waitForLine(silent));
  // Several ticks pass while it is silent; no pass runs meanwhile.
  ASSERT_TRUE(watched.server.waitForCount(4, 10000));
  for (const std::string& d : sent(watched.server)) EXPECT_EQ(d, rconRequest(kPassword, "status"));

  watched.up = true;
  ASSERT_TRUE(run.waitForLine("Watch 127.0.0.1:" + watched.server.portText() +
                              " answers and takes the rcon password"));
  ASSERT_TRUE(run.waitForLine("MapLog Next   map: obj/obj_team1"));
  ASSERT_TRUE(watched.server.waitForCount(1, 1000));
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.count(silent), 1);
  EXPECT_EQ(run.count("MapLog Currentmap: obj/obj_team2"), run.count("MapLog //mapcheck end"));
}

// A wrong password and a server without one both refuse: reported once,
// checked once per tick, and no pass runs.
TEST(WatchDaemon, RefusedPasswordIsReportedOnceAndNotRetriedInATightLoop) {
  for (const char* refusal : {"Bad rconpassword.", "No rconpassword set on the server."}) {
    SCOPED_TRACE(refusal);
    TempDataDir dir;
    dir.writeInstallation();
    AdminServer watched(std::string("\n") + refusal + "\n");
    const auto start = std::chrono::steady_clock::now();
    // A tick every 50 ms.
    RunningDaemon run(watched.server, switches(true, false, true, 1), 20);
    ASSERT_TRUE(watched.server.waitForCount(4, 10000));
    ASSERT_TRUE(run.stop());
    const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count();

    EXPECT_EQ(run.count("Watch rcon password refused by 127.0.0.1:" + watched.server.portText() +
                        " (\"" + refusal +
                        "\"): nothing is sent until it is taken;"
                        " checking again every 1 s"),
              1);
    // Only the checks went out, one per tick at most; no pass ran.
    const std::vector<std::string> got = sent(watched.server);
    for (const std::string& d : got) EXPECT_EQ(d, rconRequest(kPassword, "status"));
    EXPECT_EQ(static_cast<int>(got.size()), run.daemon().passwordChecks());
    EXPECT_LE(run.daemon().passwordChecks(), elapsedMs / 50 + 2);
  }
}

// Without a password nothing goes to the server: said once, no pass runs.
TEST(WatchDaemon, WithoutAPasswordNothingIsSent) {
  TempDataDir dir;
  dir.writeInstallation();
  AdminServer watched;
  // A tick every 50 ms.
  RunningDaemon run(watched.server, switches(true, true, true, 1), 20, "");
  const std::string report =
      "Watch no rcon password for 127.0.0.1:" + watched.server.portText() + ": nothing is sent";
  ASSERT_TRUE(run.waitForLine(report));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // several ticks more
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(watched.server.receivedCount(), 0u);
  EXPECT_EQ(run.daemon().passwordChecks(), 0);
  EXPECT_EQ(run.count(report), 1);
}

// The anti-cheat pass runs at once; the announcer only after one interval.
TEST(WatchDaemon, TheAnnouncerWaitsForItsFirstInterval) {
  TempDataDir dir;
  dir.writeInstallation();
  dir.writeLines("messages.txt", {"welcome"});
  AdminServer watched;
  // An interval of 10 s scaled to 2 s, far longer than one anti-cheat pass.
  RunningDaemon run(watched.server, switches(false, false, true, 10), 5);
  ASSERT_TRUE(run.waitForLine("PlayerLog //scan end"));
  EXPECT_EQ(run.countStartingWith("MapLog "), 0);
  ASSERT_TRUE(run.waitForLine("MapLog //mapcheck end"));
  ASSERT_TRUE(run.stop());
}

// A list that cannot be read is reported on the first pass that meets it,
// and not again on every tick while it stays missing.
TEST(WatchDaemon, AMissingListIsReportedOnce) {
  TempDataDir dir;
  dir.writeInstallation();
  std::remove("bans.txt");
  AdminServer watched;
  // A tick every 20 ms.
  RunningDaemon run(watched.server, switches(true, false, false, 1), 50);
  const std::string report =
      "Watch bans.txt or skins.txt cannot be read: the anti-cheat pass ends before kicking";
  ASSERT_TRUE(run.waitForLine(report));
  for (int i = 0; i < 500 && run.daemon().passwordChecks() < 6; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(run.stop());
  EXPECT_GE(run.daemon().passwordChecks(), 6);
  EXPECT_EQ(run.count(report), 1);
}

}  // namespace
}  // namespace tarvix
