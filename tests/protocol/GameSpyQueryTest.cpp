#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "protocol/GameSpyQuery.h"
#include "protocol/GameSpyStatus.h"
#include "support/FakeGameServer.h"
#include "support/FakeGameSpy.h"

namespace tarvix {
namespace {

using test::FakeAnswer;
using test::FakeGameServer;

constexpr std::uint32_t kLoopback = 0x7F000001;

std::vector<std::string> reply(const std::string& name) {
  return test::gameSpyParts({{"hostname", name}, {"mapname", "dm/mohdm6"}, {"numplayers", "0"}}, 1);
}

TEST(GameSpyQuery, OnlyWholeRepliesFromTheServerAskedCount) {
  // Each fake answers one way; the pass asks them all, two at a time.
  std::vector<std::unique_ptr<FakeGameServer>> servers;
  std::vector<std::string> expected;  // host name, or empty for no answer
  auto add = [&](FakeAnswer answer, std::string name) {
    servers.push_back(std::make_unique<FakeGameServer>());
    servers.back()->setResponder([answer](const test::FakeDatagram& d) {
      return d.bytes == kGameSpyStatusRequest ? answer : FakeAnswer::silence();
    });
    expected.push_back(std::move(name));
  };
  std::vector<std::string> parts = reply("Backwards");
  add(FakeAnswer::split({parts[3], parts[1], parts[2], parts[0], parts[2]}), "Backwards");
  parts = reply("Gap");
  add(FakeAnswer::split({parts[0], parts[1], parts[3]}), "");
  FakeAnswer elsewhere = FakeAnswer::split(reply("Elsewhere"));
  elsewhere.fromOtherPort = true;
  add(elsewhere, "");
  add(FakeAnswer::silence(), "");
  add(FakeAnswer::split(reply("Late"), 400), "");
  add(FakeAnswer::oversized(), "");
  add(FakeAnswer::split(reply("Plain")), "Plain");

  std::vector<ListedServer> targets;
  for (auto& s : servers) targets.push_back({kLoopback, s->port()});
  std::map<std::size_t, GameSpyAnswer> answers;
  StopSignal stop;
  EXPECT_TRUE(queryGameSpyServers(targets, 2, 250, stop, [&](std::size_t i, GameSpyAnswer a) {
    EXPECT_TRUE(answers.emplace(i, std::move(a)).second) << "twice: " << i;
  }));
  ASSERT_EQ(answers.size(), targets.size());
  for (std::size_t i = 0; i < targets.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(answers[i].complete, !expected[i].empty());
    EXPECT_EQ(readGameSpyStatus(answers[i].text).hostName, expected[i]);
    EXPECT_EQ(answers[i].pingMs >= 0, !expected[i].empty());
  }
}

TEST(GameSpyQuery, StopEndsThePass) {
  FakeGameServer silent;
  StopSignal stop;
  stop.request();
  int calls = 0;
  EXPECT_FALSE(queryGameSpyServers({{kLoopback, silent.port()}}, 1, 5000, stop,
                                   [&](std::size_t, GameSpyAnswer) { ++calls; }));
  EXPECT_EQ(calls, 0);
}

TEST(GameSpyQuery, LanTakesWholeRepliesFromTheQueryPort) {
  FakeGameServer server, moved;
  server.queue(FakeAnswer::split({reply("First")[0]}));  // a part, not the last
  server.queue(FakeAnswer::split(reply("Second")));
  FakeAnswer elsewhere = FakeAnswer::split(reply("Moved"));
  elsewhere.fromOtherPort = true;
  moved.queue(elsewhere);

  StopSignal stop;
  // The server's port alone: only it is asked, no other port on the machine.
  // The first reply's lone part never completes.
  LanSearch lan = searchLan(kLoopback, server.port(), server.port(), 300, stop);
  EXPECT_TRUE(lan.error.empty()) << lan.error;
  EXPECT_TRUE(lan.servers.empty());
  EXPECT_EQ(server.receivedCount(), 1u);

  lan = searchLan(kLoopback, server.port(), server.port(), 300, stop);
  ASSERT_EQ(lan.servers.size(), 1u);
  EXPECT_EQ(lan.servers[0].from, (ListedServer{kLoopback, server.port()}));
  EXPECT_EQ(readGameSpyStatus(lan.servers[0].answer.text).hostName, "Second");
  EXPECT_EQ(server.received().back().bytes, "\\status\\");

  lan = searchLan(kLoopback, moved.port(), moved.port(), 300, stop);
  EXPECT_TRUE(lan.servers.empty()) << "a reply from port " << moved.otherPort();
}

}  // namespace
}  // namespace tarvix
