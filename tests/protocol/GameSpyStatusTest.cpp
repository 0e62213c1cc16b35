#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/GameSpyStatus.h"
#include "support/FakeGameSpy.h"

namespace tarvix {
namespace {

using test::gameSpyParts;

const test::GameSpyPairs kPairs{
    {"gamename", "mohaa"},
    {"gamever", "1.11"},
    {"hostname", "Caf\xE9 Server"},
    {"hostport", "12203"},
    {"mapname", "obj/obj_team2"},
    {"gametype", "obj"},
    {"numplayers", "2"},
    {"maxplayers", "16"},
    {"player_1", "Bob"},
    {"frags_1", "3"},
    {"deaths_1", "4"},
    {"ping_1", "80"},
    {"player_0", "Al"},
    {"frags_0", "-1"},
    {"deaths_0", "0"},
    {"ping_0", "35"},
};

TEST(GameSpyStatus, PartsInAnyOrderWithDuplicates) {
  std::vector<std::string> parts = gameSpyParts(kPairs, 5);
  ASSERT_EQ(parts.size(), 4u);
  std::vector<std::string> reversed(parts.rbegin(), parts.rend());
  GameSpyReplyParts inOrder, shuffled;
  for (const std::string& p : parts) inOrder.add(p);
  for (const std::string& p : reversed) {
    EXPECT_FALSE(shuffled.complete());
    shuffled.add(p);
    shuffled.add(p);
  }
  ASSERT_TRUE(inOrder.complete());
  ASSERT_TRUE(shuffled.complete());
  EXPECT_EQ(shuffled.text(), inOrder.text());

  GameSpyStatus s = readGameSpyStatus(shuffled.text());
  EXPECT_EQ(s.hostName, "Caf\xE9 Server");
  EXPECT_EQ(s.hostPort, 12203);
  EXPECT_EQ(s.mapName, "obj/obj_team2");
  EXPECT_EQ(s.gameType, "obj");
  EXPECT_EQ(s.gameName, "mohaa");
  EXPECT_EQ(s.gameVersion, "1.11");
  EXPECT_EQ(s.numPlayers, 2);
  EXPECT_EQ(s.maxPlayers, 16);
  ASSERT_EQ(s.players.size(), 2u);
  EXPECT_EQ(s.players[0].name, "Al");
  EXPECT_EQ(s.players[0].frags, -1);
  EXPECT_EQ(s.players[0].ping, 35);
  EXPECT_EQ(s.players[1].name, "Bob");
  EXPECT_EQ(s.players[1].deaths, 4);
}

TEST(GameSpyStatus, IncompleteOrSpoiledRepliesNeverComplete) {
  const std::vector<std::string> parts = gameSpyParts(kPairs, 5);
  for (std::size_t missing = 0; missing < parts.size(); ++missing) {
    GameSpyReplyParts r;
    for (std::size_t i = 0; i < parts.size(); ++i)
      if (i != missing) r.add(parts[i]);
    EXPECT_FALSE(r.complete()) << "without part " << missing + 1;
  }
  GameSpyReplyParts beyond;
  beyond.add("\\hostname\\x\\final\\\\queryid\\1." + std::to_string(kMaxReplyParts + 1));
  EXPECT_FALSE(beyond.complete());
  GameSpyReplyParts atLimit;
  atLimit.add("\\hostname\\x\\final\\\\queryid\\1.1");
  EXPECT_TRUE(atLimit.complete());

  GameSpyReplyParts huge;
  for (int i = 1; i <= kMaxReplyParts; ++i)
    huge.add(std::string(5000, 'a') + (i == kMaxReplyParts ? "\\final\\" : "") + "\\queryid\\1." +
             std::to_string(i));
  EXPECT_TRUE(huge.spoiled());
  EXPECT_FALSE(huge.complete());
}

// The byte limit counts each part once, however often it arrives; two
// different parts both claiming to be the last spoil the reply, and parts
// numbered past the last are no part of the text.
TEST(GameSpyStatus, ByteLimitAndFinalParts) {
  const std::string suffix1 = "\\queryid\\1.1", suffix2 = "\\queryid\\1.2";
  for (std::size_t extra : {std::size_t{0}, std::size_t{1}}) {
    GameSpyReplyParts r;
    const std::string first = std::string(kMaxReplyBytes - 7 + extra, 'a') + suffix1;
    for (int copy = 0; copy < 3; ++copy) {
      r.add(first);
      r.add("\\final\\" + suffix2);
    }
    SCOPED_TRACE(extra);
    EXPECT_EQ(r.complete(), extra == 0);
    EXPECT_EQ(r.spoiled(), extra == 1);
    if (r.complete()) {
      EXPECT_EQ(r.text().size(), kMaxReplyBytes);
    }
  }
  GameSpyReplyParts twoFinals;
  twoFinals.add("\\hostname\\a\\final\\" + suffix1);
  twoFinals.add("\\mapname\\b\\final\\" + suffix2);
  EXPECT_TRUE(twoFinals.spoiled());
  EXPECT_FALSE(twoFinals.complete());
  GameSpyReplyParts stray;
  stray.add("\\hostname\\a" + suffix1);
  stray.add("\\final\\" + suffix2);
  stray.add("\\mapname\\b\\queryid\\1.3");
  ASSERT_TRUE(stray.complete());
  EXPECT_EQ(stray.text(), "\\hostname\\a\\final\\");
  // The parts of another query are not this reply's.
  GameSpyReplyParts mixed;
  mixed.add("\\hostname\\a" + suffix1);
  mixed.add("\\final\\\\queryid\\2.2");
  EXPECT_FALSE(mixed.complete());
  mixed.add("\\final\\" + suffix2);
  ASSERT_TRUE(mixed.complete());
  EXPECT_EQ(mixed.text(), "\\hostname\\a\\final\\");
}

// Player numbers run below the limit; nothing after \final\ is read.
TEST(GameSpyStatus, PlayerNumberLimitAndFinalEndTheReading) {
  const std::string last = std::to_string(kMaxGameSpyPlayers - 1);
  const std::string beyond = std::to_string(kMaxGameSpyPlayers);
  const GameSpyStatus s = readGameSpyStatus("\\player_" + last + "\\Last\\player_" + beyond +
                                            "\\Beyond\\final\\\\hostname\\After\\");
  ASSERT_EQ(s.players.size(), 1u);
  EXPECT_EQ(s.players[0].name, "Last");
  EXPECT_EQ(s.hostName, "");
}

TEST(GameSpyStatus, ReplyWithoutQueryIdOrNumbers) {
  GameSpyReplyParts single;
  single.add("\\hostname\\Lone\\numplayers\\many\\maxplayers\\-3\\hostport\\70000\\final\\");
  ASSERT_TRUE(single.complete());
  GameSpyStatus s = readGameSpyStatus(single.text());
  EXPECT_EQ(s.hostName, "Lone");
  EXPECT_EQ(s.numPlayers, 0);
  EXPECT_EQ(s.maxPlayers, 0);
  EXPECT_EQ(s.hostPort, 0);
  for (const auto& [text, port] :
       {std::pair<const char*, int>{"65535", 65535}, {"65536", 0}, {"1", 1}, {"0", 0}})
    EXPECT_EQ(readGameSpyStatus(std::string("\\hostport\\") + text).hostPort, port) << text;
}

}  // namespace
}  // namespace tarvix
