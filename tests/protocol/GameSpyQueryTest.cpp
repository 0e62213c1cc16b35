#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <thread>

#include "protocol/GameSpyQuery.h"
#include "protocol/GameSpyStatus.h"
#include "protocol/UdpClient.h"
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

// A reply in one datagram of exactly the receive limit counts; one byte more
// is no reply, for a listed server and on the LAN alike.
TEST(GameSpyQuery, AReplyUpToTheDatagramLimitCounts) {
  auto replyOf = [](std::size_t size) {
    const test::GameSpyPairs bare = {{"hostname", "Big"}, {"pad", ""}};
    const std::size_t overhead = test::gameSpyParts(bare, 3)[0].size();
    return test::gameSpyParts({{"hostname", "Big"}, {"pad", std::string(size - overhead, 'x')}}, 3);
  };
  ASSERT_EQ(replyOf(kReceiveBufferSize).size(), 1u);
  ASSERT_EQ(replyOf(kReceiveBufferSize)[0].size(), kReceiveBufferSize);
  for (std::size_t size : {kReceiveBufferSize, kReceiveBufferSize + 1}) {
    SCOPED_TRACE(size);
    const bool fits = size <= kReceiveBufferSize;
    FakeGameServer server;
    server.setReply(replyOf(size)[0]);
    std::vector<GameSpyAnswer> answers;
    StopSignal stop;
    EXPECT_TRUE(queryGameSpyServers({{kLoopback, server.port()}}, 1, 300, stop,
                                    [&](std::size_t, GameSpyAnswer a) { answers.push_back(a); }));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].complete, fits);
    EXPECT_EQ(readGameSpyStatus(answers[0].text).hostName, fits ? "Big" : "");

    const LanSearch lan = searchLan(kLoopback, server.port(), server.port(), 300, stop);
    EXPECT_EQ(lan.servers.size(), fits ? 1u : 0u);
  }
}

// No more servers are asked at once than the pass may ask.
TEST(GameSpyQuery, AsksAtMostParallelServersAtOnce) {
  for (int parallel : {1, 2}) {
    SCOPED_TRACE(parallel);
    std::vector<std::unique_ptr<FakeGameServer>> silent;
    std::vector<ListedServer> targets;
    for (int i = 0; i <= parallel; ++i) {
      silent.push_back(std::make_unique<FakeGameServer>());
      targets.push_back({kLoopback, silent.back()->port()});
    }
    std::size_t askedAtFirstEnd = 0;
    int ends = 0;
    StopSignal stop;
    queryGameSpyServers(targets, parallel, 200, stop, [&](std::size_t, GameSpyAnswer) {
      if (ends++ > 0) return;
      for (auto& s : silent) askedAtFirstEnd += s->receivedCount();
    });
    EXPECT_EQ(ends, parallel + 1);
    EXPECT_EQ(askedAtFirstEnd, static_cast<std::size_t>(parallel));
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

  // A whole reply sent twice is one server.
  std::vector<std::string> twice = reply("Twice");
  const std::vector<std::string> again = twice;
  twice.insert(twice.end(), again.begin(), again.end());
  server.queue(FakeAnswer::split(twice));
  lan = searchLan(kLoopback, server.port(), server.port(), 300, stop);
  EXPECT_EQ(lan.servers.size(), 1u);
}

// Two sockets on loopback: the lower port is searched, and the answer comes
// either from it or from the higher one, just outside the searched range.
TEST(GameSpyQuery, LanRefusesAnswersFromAboveTheRange) {
  int fds[2];
  std::uint16_t ports[2];
  for (int i = 0; i < 2; ++i) {
    fds[i] = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fds[i], 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(kLoopback);
    ASSERT_EQ(::bind(fds[i], reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t len = sizeof a;
    ::getsockname(fds[i], reinterpret_cast<sockaddr*>(&a), &len);
    ports[i] = ntohs(a.sin_port);
  }
  const int low = ports[0] < ports[1] ? 0 : 1, high = 1 - low;
  for (int answering : {low, high}) {
    SCOPED_TRACE(answering == low ? "from the port asked" : "from the port above");
    std::thread responder([&] {
      pollfd p{fds[low], POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0) return;
      char buf[64];
      sockaddr_in asker{};
      socklen_t len = sizeof asker;
      if (::recvfrom(fds[low], buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&asker), &len) < 0)
        return;
      for (const std::string& part : reply("Answer"))
        ::sendto(fds[answering], part.data(), part.size(), 0, reinterpret_cast<sockaddr*>(&asker),
                 len);
    });
    StopSignal stop;
    const LanSearch lan = searchLan(kLoopback, ports[low], ports[low], 300, stop);
    responder.join();
    EXPECT_EQ(lan.servers.size(), answering == low ? 1u : 0u);
  }
  for (int fd : fds) ::close(fd);
}

}  // namespace
}  // namespace tarvix
