#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <thread>
#include <tuple>

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
  // Parts 60 ms apart: the ping is the first part's.
  FakeAnswer spaced = FakeAnswer::split(reply("Spaced"));
  spaced.gapMs = 60;
  add(spaced, "Spaced");

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
  EXPECT_LT(answers[targets.size() - 1].pingMs, 60);
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

// Sockets on loopback at ports P and P+1, and at 127.0.0.2:P. The search
// asks a range; one socket takes the request and another (or the same)
// answers. Only a reply from the host asked, from a port in the range, counts.
TEST(GameSpyQuery, LanTakesRepliesFromTheRangeAndHostAsked) {
  auto bound = [](std::uint32_t ip, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(ip);
    a.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      ::close(fd);
      return std::pair{-1, std::uint16_t{0}};
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return std::pair{fd, ntohs(a.sin_port)};
  };
  enum { Low, High, OtherHost };
  int fds[3] = {-1, -1, -1};
  std::uint16_t low = 0;
  for (int attempt = 0; attempt < 50 && fds[OtherHost] < 0; ++attempt) {
    for (int& fd : fds)
      if (fd >= 0) ::close(fd), fd = -1;
    std::tie(fds[Low], low) = bound(kLoopback, 0);
    if (low == 65535) continue;
    fds[High] = bound(kLoopback, low + 1).first;
    if (fds[High] >= 0) fds[OtherHost] = bound(kLoopback + 1, low).first;
  }
  ASSERT_GE(fds[OtherHost], 0);
  struct Case {
    int last;  // the range is low..low+last
    int asked, answering;
    std::size_t found;
  };
  for (const Case& c : {Case{0, Low, Low, 1}, Case{0, Low, High, 0}, Case{1, High, High, 1},
                        Case{0, Low, OtherHost, 0}}) {
    SCOPED_TRACE(std::to_string(c.asked) + " asked, " + std::to_string(c.answering) + " answers");
    char stale[64];
    for (int fd : fds)
      while (::recv(fd, stale, sizeof stale, MSG_DONTWAIT) > 0) {
      }
    std::thread responder([&] {
      pollfd p{fds[c.asked], POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0) return;
      char buf[64];
      sockaddr_in asker{};
      socklen_t len = sizeof asker;
      if (::recvfrom(fds[c.asked], buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&asker), &len) <
          0)
        return;
      for (const std::string& part : reply("Answer"))
        ::sendto(fds[c.answering], part.data(), part.size(), 0, reinterpret_cast<sockaddr*>(&asker),
                 len);
    });
    StopSignal stop;
    const LanSearch lan =
        searchLan(kLoopback, low, static_cast<std::uint16_t>(low + c.last), 300, stop);
    responder.join();
    EXPECT_EQ(lan.servers.size(), c.found);
  }
  for (int fd : fds) ::close(fd);
}

}  // namespace
}  // namespace tarvix
