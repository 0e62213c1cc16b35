// The anti-cheat pass run headless against a fake game server on loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "admin/core/AntiCheatPass.h"
#include "base/Text.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"
#include "support/FakeGameServer.h"
#include "support/HangingLookup.h"
#include "support/HeadlessWorkerViews.h"
#include "support/TempDataDir.h"

namespace tarvix {
namespace {

using namespace test;

constexpr const char* kPassword = "secret";
constexpr const char* kStamp = "scan @ 24.12.2023 - 18:30:00";

struct FakePlayer {
  std::string name;
  int ping;
  std::string axisSkin;
  std::string alliesSkin;
  std::string rate;
  std::string ip;
  std::string score;
};

std::string dumpuserText(const FakePlayer& p) {
  return "\nuserinfo\n--------\nname                 : " + p.name +
         "\nrate                 : " + p.rate + "\ndm_playergermanmodel : " + p.axisSkin +
         "\ndm_playermodel       : " + p.alliesSkin + "\n";
}

// The server's player table: score, blank, ping in four, blank, name, blanks,
// last-message time, address with port.
std::string statusTable(const std::vector<FakePlayer>& players) {
  std::string t = "\nmap: obj/obj_team2\nnum score ping name            lastmsg address\n";
  for (const FakePlayer& p : players) {
    char ping[8];
    std::snprintf(ping, sizeof ping, "%4d", p.ping);
    t += "  0 " + p.score + " " + ping + " " + p.name + "      0 " + p.ip + ":12203  1234 25000\n";
  }
  return t;
}

// A server that answers the status query, "dumpuser" and "status" for its
// players; kicks and says get no answer. Its script is fixed before its
// thread answers anything, so the responder reads it without a lock.
struct AntiCheatScript {
  std::vector<std::string> silentDumpuser = {};  // names whose dumpuser gets no reply
  int statusAnswers = 1000;                      // how many "status" commands are answered
  bool answerStatusQuery = true;
  bool statusQueryFromOtherPort = false;  // the status query answered from another port
  bool rconFromOtherPort = false;         // "dumpuser" and "status" answered from another port
};

class AntiCheatServer {
 public:
  explicit AntiCheatServer(std::vector<FakePlayer> players, AntiCheatScript script = {})
      : players_(std::move(players)), script_(std::move(script)) {
    server.setResponder([this](const FakeDatagram& d) { return answer(d.bytes); });
  }

 private:
  FakeAnswer answer(const std::string& bytes) {
    FakeAnswer a = scripted(bytes);
    a.fromOtherPort =
        bytes == statusRequest() ? script_.statusQueryFromOtherPort : script_.rconFromOtherPort;
    return a;
  }
  FakeAnswer scripted(const std::string& bytes) {
    if (bytes == statusRequest()) {
      if (!script_.answerStatusQuery) return FakeAnswer::silence();
      std::vector<std::pair<int, std::string>> lines;
      for (const FakePlayer& p : players_) lines.emplace_back(p.ping, p.name);
      return FakeAnswer::reply(
          makeStatusReply("\\sv_hostname\\Admin Test\\mapname\\obj/obj_team2", lines));
    }
    for (const FakePlayer& p : players_) {
      if (bytes != rconRequest(kPassword, "dumpuser \"" + p.name + "\"")) continue;
      for (const std::string& s : script_.silentDumpuser)
        if (s == p.name) return FakeAnswer::silence();
      return FakeAnswer::reply(makePrintReply(dumpuserText(p)));
    }
    if (bytes == rconRequest(kPassword, "status")) {
      if (script_.statusAnswers-- <= 0) return FakeAnswer::silence();
      return FakeAnswer::reply(makePrintReply(statusTable(players_)));
    }
    return FakeAnswer::silence();
  }
  std::vector<FakePlayer> players_;
  AntiCheatScript script_;

 public:
  // Declared last, so its thread stops before the data its responder reads
  // is destroyed.
  FakeGameServer server;
};

const FakePlayer kZed{"zed",      45, "german_panzer_grenadier", "allied_pilot", "20000",
                      "10.0.0.7", "3"};
const FakePlayer kAlpha{"Alpha",        35,  "german_wehrmacht_soldier", "allied_airborne", "25000",
                        "192.168.1.20", "12"};
const FakePlayer kBob{"bob", 120, "german_elite_sentry", "allied_sas", "5000", "10.0.0.5", "-2"};

class AntiCheatPassTest : public ::testing::Test {
 protected:
  AntiCheatPassTest() {
    dir.writeInstallation();
    view->setPassword(kPassword);
    view->ScanTimeout = 300;
  }

  AntiCheatSettings settings(const FakeGameServer& server) {
    AntiCheatSettings s;
    s.host = FakeGameServer::host();
    s.port = server.portText();
    s.timing.scaled = [](int ms) { return ms / 100; };
    s.timing.dateTime = [](std::chrono::system_clock::time_point) {
      return std::string("24.12.2023 - 18:30:00");
    };
    s.logs = &logs;
    return s;
  }

  AntiCheatPass::End run(const FakeGameServer& server) {
    AntiCheatPass worker(view, settings(server));
    worker.start();
    EXPECT_TRUE(worker.join());
    return worker.end();
  }

  static std::vector<std::string> sent(const FakeGameServer& server) {
    std::vector<std::string> out;
    for (const FakeDatagram& d : server.received()) out.push_back(d.bytes);
    return out;
  }

  // Delivery to the fake server's thread lags the worker's last send (a kick
  // awaits no reply), so wait for the expected count before comparing.
  static void expectSent(const FakeGameServer& server, const std::vector<std::string>& expected) {
    server.waitForCount(expected.size(), 5000);
    EXPECT_EQ(sent(server), expected);
  }

  static std::string kick(const std::string& name) {
    return rconRequest(kPassword, "kick \"" + name + "\"");
  }

  // Datagrams of the status step for players in list order.
  static std::vector<std::string> statusStep(const std::vector<std::string>& names) {
    std::vector<std::string> out{statusRequest()};
    for (const std::string& n : names) {
      out.push_back(rconRequest(kPassword, "dumpuser \"" + n + "\""));
      out.push_back(rconRequest(kPassword, "status"));
    }
    return out;
  }

  TempDataDir dir;
  ConsoleLogs logs;
  std::shared_ptr<HeadlessAntiCheatView> view = std::make_shared<HeadlessAntiCheatView>();
};

TEST_F(AntiCheatPassTest, FillsRowsInNameOrderAndLogsPlayersWithoutKicking) {
  dir.writeLines("bans.txt", {"a", "10."});
  dir.writeLines("skins.txt", {"allied_sas"});
  AntiCheatServer fake({kZed, kAlpha, kBob});

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);

  const std::vector<ConsolePlayer> rows = view->rows();
  ASSERT_EQ(rows.size(), 3u);
  const FakePlayer* expected[] = {&kAlpha, &kBob, &kZed};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(expected[i]->name);
    EXPECT_EQ(rows[i].name, expected[i]->name);
    EXPECT_EQ(rows[i].ping, std::to_string(expected[i]->ping) + " ");
    EXPECT_EQ(rows[i].axisSkin, expected[i]->axisSkin);
    EXPECT_EQ(rows[i].alliesSkin, expected[i]->alliesSkin);
    EXPECT_EQ(rows[i].rate, expected[i]->rate);
    EXPECT_EQ(rows[i].ip, expected[i]->ip);
    EXPECT_EQ(rows[i].score, expected[i]->score);
  }
  // Queries in list order, password as set; with "detect skins" unticked
  // nothing is kicked whatever the lists hold.
  expectSent(fake.server, statusStep({"Alpha", "bob", "zed"}));
  // Names in reply order.
  EXPECT_EQ(logs.text(LogKind::PlayerLog),
            std::string(kStamp) + "\r\nzed\r\nAlpha\r\nbob\r\n//scan end\r\n");
  EXPECT_EQ(logs.text(LogKind::ScanLog), "");
  EXPECT_EQ(logs.text(LogKind::BadLog), "");
  EXPECT_TRUE(view->consoleLines().empty());
  EXPECT_EQ(view->finishCount(), 1);

  // New rows start with blanks, then Rate, Axis, Allies, IP, Score in order.
  const std::vector<std::string> events = view->events();
  ASSERT_GE(events.size(), 6u);
  EXPECT_EQ(events[0], "clear");
  EXPECT_EQ(events[1], "add zed");
  EXPECT_EQ(events[4], "set 1 4 25000");  // Alpha (second in the reply) is filled first
  EXPECT_EQ(events[5], "set 1 2 german_wehrmacht_soldier");
  EXPECT_EQ(events.back(), "finish");
}

TEST_F(AntiCheatPassTest, EmptyServerLogsOnlyHeadersAndEnds) {
  dir.write("bans.txt", "");
  AntiCheatServer fake({});
  view->DetectSkins = true;
  // With no rows the lists are never read, so even a missing list does not matter.
  std::remove("skins.txt");

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);
  EXPECT_TRUE(view->rows().empty());
  EXPECT_EQ(logs.text(LogKind::PlayerLog), std::string(kStamp) + "\r\n//scan end\r\n");
  EXPECT_EQ(logs.text(LogKind::ScanLog), std::string(kStamp) + "\r\n//scan end\r\n");
  expectSent(fake.server, statusStep({}));
  EXPECT_EQ(view->finishCount(), 1);
}

TEST_F(AntiCheatPassTest, SilentServerLeavesListEmpty) {
  AntiCheatServer fake({kAlpha}, {.answerStatusQuery = false});
  view->DetectSkins = true;

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);
  EXPECT_TRUE(view->rows().empty());
  expectSent(fake.server, statusStep({}));
  EXPECT_EQ(logs.text(LogKind::BadLog), "");
  EXPECT_EQ(view->finishCount(), 1);
}

// Only the queried address and port may answer, in every exchange of the
// status step: a reply from another port is no reply.
TEST_F(AntiCheatPassTest, RepliesFromAnotherPortAreIgnored) {
  const struct {
    AntiCheatScript script;
    std::size_t rows;
    std::string rate;
    const char* badLog;
  } cases[] = {
      {{}, 1, kAlpha.rate, ""},
      {{.statusQueryFromOtherPort = true}, 0, "", ""},
      {{.rconFromOtherPort = true}, 1, "", "Anticheatthread error during status check\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.rows << " rows, rate " << c.rate);
    logs.clear(LogKind::BadLog);
    view = std::make_shared<HeadlessAntiCheatView>();
    view->setPassword(kPassword);
    view->ScanTimeout = 200;
    AntiCheatServer fake({kAlpha}, c.script);
    EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);
    const std::vector<ConsolePlayer> rows = view->rows();
    ASSERT_EQ(rows.size(), c.rows);
    if (c.rows) {
      EXPECT_EQ(rows[0].rate, c.rate);
    }
    EXPECT_EQ(logs.text(LogKind::BadLog), c.badLog);
  }
}

// No password: the rows keep their blanks, nobody is kicked, and nothing but
// the status query goes out.
TEST_F(AntiCheatPassTest, WithoutAPasswordOnlyTheStatusQueryIsSent) {
  dir.writeLines("bans.txt", {"bob"});
  dir.writeLines("skins.txt", {"allied_airborne"});
  AntiCheatServer fake({kAlpha, kBob});
  view->setPassword("");
  view->DetectSkins = true;

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);
  const std::vector<ConsolePlayer> rows = view->rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].rate, " ");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a late datagram would show
  EXPECT_EQ(sent(fake.server), statusStep({}));
  EXPECT_EQ(logs.text(LogKind::BadLog), "");
  EXPECT_TRUE(view->consoleLines().empty());
  EXPECT_EQ(view->finishCount(), 1);
}

TEST_F(AntiCheatPassTest, BanRuleKicksByNameClanTagAndAddress) {
  const FakePlayer caps{"SNIPER", 50, "a", "b", "1", "172.16.0.1", "0"};
  const FakePlayer tagged{"xXsniperXx", 50, "a", "b", "1", "172.16.0.2", "0"};
  const FakePlayer byIp{"Carl", 50, "a", "b", "1", "10.0.0.9", "0"};
  const FakePlayer clean{"Dora", 50, "a", "b", "1", "172.16.0.4", "0"};
  dir.writeLines("bans.txt", {"Sniper", "10.0.0.", "xx"});
  dir.write("skins.txt", "");
  AntiCheatServer fake({caps, tagged, byIp, clean});
  view->DetectSkins = true;

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);

  std::vector<std::string> expected = statusStep({"Carl", "Dora", "SNIPER", "xXsniperXx"});
  // xXsniperXx holds two ban lines and is kicked twice; order of the list.
  for (const char* n : {"Carl", "SNIPER", "xXsniperXx", "xXsniperXx"}) expected.push_back(kick(n));
  expectSent(fake.server, expected);
  EXPECT_EQ(view->consoleLines(),
            (std::vector<std::string>{"!! -> baned player kicked: Carl IP: 10.0.0.9",
                                      "!! -> baned player kicked: SNIPER IP: 172.16.0.1",
                                      "!! -> baned player kicked: xXsniperXx IP: 172.16.0.2",
                                      "!! -> baned player kicked: xXsniperXx IP: 172.16.0.2"}));
  EXPECT_EQ(logs.text(LogKind::ScanLog),
            std::string(kStamp) +
                "\r\nbaned player kicked:  Carl\r\nIP: 10.0.0.9\r\n"
                "baned player kicked:  SNIPER\r\nIP: 172.16.0.1\r\n"
                "baned player kicked:  xXsniperXx\r\nIP: 172.16.0.2\r\n"
                "baned player kicked:  xXsniperXx\r\nIP: 172.16.0.2\r\n//scan end\r\n");
  EXPECT_EQ(view->finishCount(), 1);
}

TEST_F(AntiCheatPassTest, UntickedCheckBansKicksNoBannedPlayer) {
  dir.writeLines("bans.txt", {"alpha"});
  dir.write("skins.txt", "");
  AntiCheatServer fake({kAlpha});
  view->DetectSkins = true;
  view->CheckBans = false;
  // bans.txt is not even read while "check bans" is unticked.
  std::remove("bans.txt");

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);
  expectSent(fake.server, statusStep({"Alpha"}));
  EXPECT_EQ(logs.text(LogKind::ScanLog), std::string(kStamp) + "\r\n//scan end\r\n");
}

TEST_F(AntiCheatPassTest, SkinRuleKicksExactSkinsAndAnnouncesThem) {
  // Bob's dumpuser gets no reply: his skins come back empty and the empty
  // line of skins.txt matches him. Alpha's Allies skin differs only in case.
  dir.writeLines("skins.txt", {"Allied_Airborne", "german_panzer_grenadier", "", "allied_pilot"});
  dir.writeLines("bans.txt", {"zed"});
  AntiCheatServer fake({kAlpha, kBob, kZed}, {.silentDumpuser = {"bob"}});
  view->DetectSkins = true;

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);

  const std::vector<ConsolePlayer> rows = view->rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].axisSkin, "");
  EXPECT_EQ(rows[1].rate, "");
  EXPECT_EQ(rows[1].ip, "10.0.0.5");

  auto say = [](const std::string& name, const std::string& skin) {
    return rconRequest(kPassword, "say " + name + " kicked ! Cheatskin detected: " + skin);
  };
  std::vector<std::string> expected = statusStep({"Alpha", "bob", "zed"});
  expected.push_back(kick("bob"));
  expected.push_back(say("bob", ""));
  expected.push_back(kick("zed"));  // the ban rule first
  expected.push_back(kick("zed"));
  expected.push_back(say("zed", "german_panzer_grenadier"));
  expected.push_back(kick("zed"));
  expected.push_back(say("zed", "allied_pilot"));
  expectSent(fake.server, expected);

  EXPECT_EQ(view->consoleLines(),
            (std::vector<std::string>{
                "!! -> bob kicked - customskin  detected ! IP: 10.0.0.5",
                "!! -> baned player kicked: zed IP: 10.0.0.7",
                "!! -> zed kicked - customskin german_panzer_grenadier detected ! IP: 10.0.0.7",
                "!! -> zed kicked - customskin allied_pilot detected ! IP: 10.0.0.7"}));
  EXPECT_EQ(
      logs.text(LogKind::ScanLog),
      std::string(kStamp) +
          "\r\ncustom skin player kicked:  bob\r\nIP: 10.0.0.5\r\n\r\n"
          "baned player kicked:  zed\r\nIP: 10.0.0.7\r\n"
          "custom skin player kicked:  zed\r\nIP: 10.0.0.7\r\ngerman_panzer_grenadier\r\n"
          "custom skin player kicked:  zed\r\nIP: 10.0.0.7\r\nallied_pilot\r\n//scan end\r\n");
}

TEST_F(AntiCheatPassTest, HostileNamesNeverSteerACommandOrALog) {
  // Names chosen by players: a line feed or NUL would end the command on the
  // server (kicking "nl" instead), a ';' would split an unquoted say, and
  // "Smith" is a part of "Bob Smith", whose row comes first.
  const FakePlayer lf{"nl\nquit", 10, "a", "b", "1", "10.0.0.1", "0"};
  const FakePlayer nul{std::string("nul\0quit", 8), 10, "a", "b", "1", "10.0.0.2", "0"};
  const FakePlayer semi{"evil;quit", 10, "a", "allied_pilot", "1", "10.0.0.3", "0"};
  const FakePlayer bobSmith{"Bob Smith", 10, "a", "b", "1", "10.0.0.6", "5"};
  const FakePlayer smith{"Smith", 10, "a", "b", "1", "10.0.0.4", "9"};
  const FakePlayer accents{"\xC9t\xE9", 10, "a", "b", "1", "10.0.0.5", "0"};
  dir.writeLines("bans.txt", {"10.0.0.4", "quit"});
  dir.writeLines("skins.txt", {"allied_pilot"});
  AntiCheatServer fake({bobSmith, lf, nul, semi, smith, accents});
  view->DetectSkins = true;

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);

  // The two names that cannot be put into a command are skipped and
  // reported; every datagram is exactly one command.
  std::vector<std::string> expected = statusStep({"Bob Smith", "evil;quit", "Smith", "\xC9t\xE9"});
  expected.push_back(kick("evil;quit"));  // banned by "quit", in quotes
  expected.push_back(kick("evil;quit"));  // the skin rule
  expected.push_back(
      rconRequest(kPassword, "say evilquit kicked ! Cheatskin detected: allied_pilot"));
  expected.push_back(kick("Smith"));  // by his own address
  expectSent(fake.server, expected);
  EXPECT_EQ(logs.text(LogKind::BadLog),
            "cannot address player nl\\x0Aquit\r\ncannot address player nul\\x00quit\r\n");

  const std::vector<ConsolePlayer> rows = view->rows();
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].ip, "10.0.0.6");
  EXPECT_EQ(rows[0].score, "5");
  EXPECT_EQ(rows[4].name, "Smith");
  EXPECT_EQ(rows[4].ip, "10.0.0.4");
  EXPECT_EQ(rows[4].score, "9");
  EXPECT_EQ(rows[2].ip, " ");  // never asked for

  // One log entry per player, control bytes escaped.
  EXPECT_EQ(
      logs.text(LogKind::PlayerLog),
      std::string(kStamp) +
          "\r\nBob Smith\r\nnl\\x0Aquit\r\nnul\\x00quit\r\nevil;quit\r\nSmith\r\n\xC9t\xE9\r\n"
          "//scan end\r\n");
  for (const std::string& line : view->consoleLines()) EXPECT_FALSE(hasControlByte(line)) << line;
}

TEST_F(AntiCheatPassTest, UnansweredStatusEndsTheStatusStepOnce) {
  // Alpha's "status" is answered, bob's is not.
  AntiCheatServer fake({kAlpha, kBob, kZed}, {.statusAnswers = 1});
  view->DetectSkins = true;
  dir.write("skins.txt", "");

  EXPECT_EQ(run(fake.server), AntiCheatPass::End::Completed);

  const std::vector<ConsolePlayer> rows = view->rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].ip, kAlpha.ip);
  EXPECT_EQ(rows[1].rate, kBob.rate);
  EXPECT_EQ(rows[1].ip, " ");
  EXPECT_EQ(rows[1].score, " ");
  for (const std::string& column :
       {rows[2].axisSkin, rows[2].alliesSkin, rows[2].rate, rows[2].ip, rows[2].score})
    EXPECT_EQ(column, " ");
  EXPECT_EQ(logs.text(LogKind::BadLog), "Anticheatthread error during status check\r\n");
  // No dumpuser for zed; the rest of the pass still runs.
  std::vector<std::string> expected = statusStep({"Alpha", "bob"});
  expectSent(fake.server, expected);
  EXPECT_EQ(logs.text(LogKind::ScanLog), std::string(kStamp) + "\r\n//scan end\r\n");
  EXPECT_EQ(view->finishCount(), 1);
}

TEST_F(AntiCheatPassTest, MissingListEndsThePassWithoutTheConsoleStop) {
  for (const char* missing : {"bans.txt", "skins.txt"}) {
    SCOPED_TRACE(missing);
    dir.writeInstallation();
    std::remove(missing);
    logs.clear(LogKind::PlayerLog);
    logs.clear(LogKind::ScanLog);
    view = std::make_shared<HeadlessAntiCheatView>();
    view->setPassword(kPassword);
    view->DetectSkins = true;
    AntiCheatServer fake({kAlpha, kBob});

    EXPECT_EQ(run(fake.server), AntiCheatPass::End::ListUnreadable);
    EXPECT_EQ(logs.text(LogKind::ScanLog), std::string(kStamp) + "\r\n");
    EXPECT_EQ(logs.text(LogKind::PlayerLog), std::string(kStamp) + "\r\nAlpha\r\nbob\r\n");
    EXPECT_EQ(view->finishCount(), 0);
    expectSent(fake.server, statusStep({"Alpha", "bob"}));
  }
}

TEST_F(AntiCheatPassTest, StopInsideAWaitReturnsAtOnceAndChangesNothingMore) {
  AntiCheatServer fake({kAlpha, kBob}, {.silentDumpuser = {"Alpha"}});
  view->ScanTimeout = 60000;

  auto worker = std::make_unique<AntiCheatPass>(view, settings(fake.server));
  worker->start();
  // The pass now waits up to a minute for Alpha's dumpuser reply.
  ASSERT_TRUE(fake.server.waitForCount(2, 10000));
  const std::vector<std::string> eventsBefore = view->events();
  const std::string playerLog = logs.text(LogKind::PlayerLog);

  auto stopped = std::async(std::launch::async, [&] {
    worker->stop();
    return worker->join();
  });
  ASSERT_EQ(stopped.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  EXPECT_TRUE(stopped.get());
  EXPECT_EQ(worker->end(), AntiCheatPass::End::Stopped);

  EXPECT_EQ(fake.server.receivedCount(), 2u);
  EXPECT_EQ(view->events(), eventsBefore);
  EXPECT_EQ(logs.text(LogKind::PlayerLog), playerLog);
  EXPECT_EQ(view->finishCount(), 0);
}

TEST_F(AntiCheatPassTest, StopDuringAHostLookUpThatNeverAnswersReturnsAtOnce) {
  test::HangingLookup lookup;
  FakeGameServer unused;
  AntiCheatSettings s = settings(unused);
  s.host = "hangs.example";
  AntiCheatPass worker(view, s);
  worker.start();
  ASSERT_TRUE(lookup.waitForLookups(1, 10000));
  const auto before = std::chrono::steady_clock::now();
  worker.stop();
  ASSERT_TRUE(worker.join());
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
  EXPECT_EQ(worker.end(), AntiCheatPass::End::Stopped);
  EXPECT_EQ(view->finishCount(), 0);
}

TEST(AntiCheatPlayers, ReadsPingAndNameOfEveryLineAfterTheHeader) {
  // Cleaned reply: 01 "statusResponse" LF, info line, players, final LF.
  const std::string header = "\x01statusResponse\n\\sv_hostname\\x\\mapname\\dm/mohdm6\n";
  const std::string reply = header + "35 \"Sniper\"\n120 0 \"\"\n7 \"two words\"\n";
  const std::vector<ConsolePlayer> players = antiCheatPlayers(reply);
  ASSERT_EQ(players.size(), 3u);
  EXPECT_EQ(players[0].ping, "35 ");
  EXPECT_EQ(players[0].name, "Sniper");
  EXPECT_EQ(players[1].ping, "120 ");
  EXPECT_EQ(players[1].name, "");
  EXPECT_EQ(players[2].name, "two words");
  EXPECT_EQ(players[2].score, " ");

  // A last line without line feed: the closing quote is the last character,
  // which is never read, so the name runs up to it.
  EXPECT_EQ(antiCheatPlayers(header + "35 \"Sniper\"").at(0).name, "Sniper");
  // A final line without a quote adds no row and reads nothing beyond the reply.
  EXPECT_EQ(antiCheatPlayers(header + "35 \"A\"\n40 noquote\n").size(), 1u);
  EXPECT_EQ(antiCheatPlayers(header + "35").size(), 0u);
  // Line feeds within the first 25 characters start no player.
  EXPECT_TRUE(antiCheatPlayers("\x01statusResponse\n\\a\\b\n1 \"x\"").empty());
  EXPECT_TRUE(antiCheatPlayers("").empty());
}

TEST(LogDateTime, ShortDateAndLongTimeOfTheLocale) {
  const char* oldTz = std::getenv("TZ");
  const std::string saved = oldTz ? oldTz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  // 2024-03-05 07:08:09 UTC, C locale: %x %X.
  const auto at = std::chrono::system_clock::from_time_t(1709622489);
  EXPECT_EQ(logDateTime(at), "03/05/24 - 07:08:09");
  if (oldTz)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace tarvix
