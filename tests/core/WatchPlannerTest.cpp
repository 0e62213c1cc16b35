// Watches and the join: what each reply fires (once per event), the query
// budget and intervals, the join's room, give-up and cancel, and the stored line.
#include <gtest/gtest.h>

#include "app/core/WatchPlanner.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

const WatchTarget kAlpha{"127.0.0.1", "1001"};

Watch alpha(WatchKind kind, int players = 0) {
  return {kind, "Alpha", kAlpha.ip, kAlpha.port, players};
}

// A reply with `n` players of `max`; "-" is no answer.
std::string reply(const std::string& shown) {
  if (shown == "-") return {};
  const auto slash = shown.find('/');
  return makePlayersReply("dm", shown.substr(slash + 1),
                          std::vector<std::string>(std::stoul(shown.substr(0, slash)), "p"));
}

struct Step {
  std::string shown;
  std::vector<std::string> hits;
  std::string alert;  // empty: none
};

}  // namespace

TEST(WatchPlanner, EachEventAlertsOnce) {
  const struct {
    Watch watch;
    std::vector<Step> steps;
  } cases[] = {
      {alpha(WatchKind::SlotFree),
       {{"2/2", {}, ""},
        {"1/2", {}, "a slot is free on Alpha: 1/2 players"},
        {"1/2", {}, ""},
        {"2/2", {}, ""},
        {"0/2", {}, "a slot is free on Alpha: 0/2 players"},
        {"0/x", {}, ""}}},
      {alpha(WatchKind::Players, 2),
       {{"1/4", {}, ""},
        {"2/4", {}, "Alpha has 2 players: 2/4 players"},
        {"3/4", {}, ""},
        {"1/4", {}, ""},
        {"3/4", {}, "Alpha has 3 players: 3/4 players"}}},
      {alpha(WatchKind::Buddy),
       {{"1/4", {}, ""},
        {"2/4", {"Sniper"}, "Sniper is on Alpha"},
        {"2/4", {"Sniper"}, ""},
        {"3/4", {"Sniper", "Ace", "[X]Bo"}, "Ace is on Alpha\n[X]Bo is on Alpha"}}},
      {alpha(WatchKind::SlotFree),
       {{"2/2", {}, ""},
        {"-", {}, ""},
        {"-", {}, "Alpha does not answer"},
        {"-", {}, ""},
        {"2/2", {}, ""},
        {"-", {}, ""},
        {"-", {}, "Alpha does not answer"}}},
  };
  for (const auto& c : cases) {
    WatchPlanner planner;
    ASSERT_TRUE(planner.add(c.watch, 0));
    EXPECT_FALSE(planner.add(c.watch, 0));
    long long t = 0;
    for (const Step& step : c.steps) {
      const std::vector<WatchEvent> events =
          planner.answered(kAlpha, reply(step.shown), step.hits, t += 15000);
      std::string texts;
      for (const WatchEvent& e : events) texts += e.text;
      EXPECT_EQ(texts, step.alert) << watchText(c.watch) << " at " << step.shown;
    }
  }
}

TEST(WatchPlanner, AsksEachServerEveryIntervalNeverTwiceASecond) {
  WatchPlanner planner;
  for (const char* port : {"1001", "1002", "1003"})
    planner.add({WatchKind::SlotFree, port, "127.0.0.1", port, 0}, 0);
  std::vector<std::pair<long long, std::string>> asked;
  for (long long t = 0; t <= 31000; t += 100) {
    const std::optional<WatchTarget> target = planner.next(t);
    if (!target) continue;
    asked.emplace_back(t, target->port);
    planner.answered(*target, {}, {}, t);
  }
  const std::vector<std::pair<long long, std::string>> expected = {
      {0, "1001"},     {1000, "1002"},  {2000, "1003"},  {15000, "1001"},
      {16000, "1002"}, {17000, "1003"}, {30000, "1001"}, {31000, "1002"}};
  EXPECT_EQ(asked, expected);
}

TEST(WatchPlanner, JoinAsksFirstAndEndsOnRoomGiveUpOrCancel) {
  WatchPlanner planner;
  planner.add({WatchKind::SlotFree, "Beta", "127.0.0.1", "1002", 0}, 0);
  ASSERT_TRUE(planner.startJoin(alpha(WatchKind::SlotFree), 0, 600000, 10));
  EXPECT_FALSE(planner.startJoin(alpha(WatchKind::SlotFree), 0, 600000, 10));
  EXPECT_EQ(planner.next(0), kAlpha);
  EXPECT_TRUE(planner.answered(kAlpha, reply("2/2"), {}, 0).empty());
  EXPECT_EQ(planner.next(1000)->port, "1002");
  planner.answered({"127.0.0.1", "1002"}, reply("2/2"), {}, 1000);
  EXPECT_FALSE(planner.next(1999));
  EXPECT_EQ(planner.next(2000), kAlpha);
  EXPECT_EQ(
      planner.answered(kAlpha, reply("1/2"), {}, 2000),
      (std::vector<WatchEvent>{{WatchEvent::Kind::Join, "Alpha", "joining Alpha: 1/2 players"}}));
  EXPECT_FALSE(planner.join());

  planner.startJoin(alpha(WatchKind::SlotFree), 0, 600000, 10);
  EXPECT_TRUE(planner.tick(599999).empty());
  EXPECT_EQ(planner.tick(600000),
            (std::vector<WatchEvent>{{WatchEvent::Kind::GaveUp, "Alpha",
                                      "gave up waiting for a slot on Alpha after 10 minutes"}}));
  planner.startJoin(alpha(WatchKind::SlotFree), 0, 600000, 10);
  EXPECT_EQ(planner.cancelJoin(),
            (std::vector<WatchEvent>{
                {WatchEvent::Kind::Cancelled, "Alpha", "stopped waiting for a slot on Alpha"}}));
  EXPECT_TRUE(planner.cancelJoin().empty());
}

TEST(WatchPlanner, WatchLinesRoundTripAndBadLinesAreNone) {
  const Watch w{WatchKind::Players, "A|l\"pha", "10.0.0.1", "12203", 8};
  EXPECT_EQ(watchLine(w), "players|8|10.0.0.1|12203|A|l\"pha");
  EXPECT_EQ(parseWatchLine(watchLine(w)), w);
  for (const char* bad : {"", "slot|0|1.2.3.4|12203|", "party|0|1.2.3.4|1|A", "slot|x|1.2.3.4|1|A",
                          "slot|0||1|A", "slot|0|1.2.3.4"})
    EXPECT_FALSE(parseWatchLine(bad)) << bad;
}
