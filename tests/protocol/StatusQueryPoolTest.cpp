// Many status queries in flight, each from its own socket, against fake servers on loopback.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/StopSignal.h"
#include "protocol/StatusQuery.h"
#include "protocol/StatusQueryPool.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

// Runs the pool until every started query completed (bounded), by id.
std::map<int, UdpResult> finish(StatusQueryPool& pool, std::vector<int>* order = nullptr) {
  std::map<int, UdpResult> done;
  for (int round = 0; round < 10000 && pool.active() > 0; ++round) {
    EXPECT_TRUE(pool.wait());
    for (PoolReply& r : pool.takeCompleted()) {
      if (order) order->push_back(r.id);
      done[r.id] = std::move(r.result);
    }
  }
  for (PoolReply& r : pool.takeCompleted()) done[r.id] = std::move(r.result);
  return done;
}

int openDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

TEST(StatusQueryPool, RepliesAreToldApartWhateverTheirOrderEachQueryFromItsOwnPort) {
  FakeGameServer slow, fast, middle, late, silent;
  slow.queueReply("slow", 700);
  fast.queueReply("fast");
  middle.queueReply("middle", 150);
  // Answers both tries, each after both have timed out.
  late.setResponder([](const FakeDatagram&) { return FakeAnswer::reply("late", 400); });

  StatusQueryPool pool(5, 2, nullptr);
  pool.start(0, "127.0.0.1", late.portText(), 100);
  pool.start(1, "127.0.0.1", slow.portText(), 1000);
  pool.start(2, "127.0.0.1", fast.portText(), 1000);
  pool.start(3, "127.0.0.1", middle.portText(), 1000);
  pool.start(4, "127.0.0.1", silent.portText(), 100);
  EXPECT_FALSE(pool.hasRoom());

  std::vector<int> order;
  auto done = finish(pool, &order);
  ASSERT_EQ(done.size(), 5u);
  // The late server's answer to its first try reached a closed socket, not
  // the second try's.
  EXPECT_EQ(done[0].outcome, UdpOutcome::TimedOut);
  EXPECT_EQ(done[1].bytes, "slow");
  EXPECT_EQ(done[2].bytes, "fast");
  EXPECT_EQ(done[3].bytes, "middle");
  EXPECT_EQ(done[3].fromPort, middle.port());
  EXPECT_EQ(done[4].outcome, UdpOutcome::TimedOut);
  EXPECT_EQ(order.front(), 2);
  EXPECT_EQ(order.back(), 1);
  EXPECT_EQ(late.receivedCount(), 2u);
  EXPECT_EQ(fast.receivedCount(), 1u);
  ASSERT_EQ(silent.receivedCount(), 2u);
  EXPECT_EQ(silent.received()[1].bytes, statusRequest());
  EXPECT_TRUE(pool.hasRoom());
  // Every query came from a port of its own; a retry from its query's.
  std::set<std::uint16_t> ports;
  for (const FakeGameServer* s : {&slow, &fast, &middle, &late, &silent})
    for (const FakeDatagram& d : s->received()) ports.insert(d.fromPort);
  EXPECT_EQ(ports.size(), 5u);
  EXPECT_EQ(silent.received()[0].fromPort, silent.received()[1].fromPort);
}

TEST(StatusQueryPool, NoServerCanAnswerForAnother) {
  FakeGameServer forger, victim;
  StatusQueryPool pool(10, 1, nullptr);
  pool.start(0, "127.0.0.1", forger.portText(), 2000);
  pool.start(1, "127.0.0.1", victim.portText(), 400);
  ASSERT_TRUE(forger.waitForCount(1, 5000));
  ASSERT_TRUE(victim.waitForCount(1, 5000));
  const std::uint16_t learned = forger.received()[0].fromPort;
  const std::uint16_t victimQuery = victim.received()[0].fromPort;
  EXPECT_NE(learned, victimQuery);
  // Forged from the victim's address to the port the forger learned, and
  // from the forger's own address to the victim's query: both refused.
  victim.sendTo("127.0.0.1", learned, "forged");
  forger.sendTo("127.0.0.1", victimQuery, "forged too");
  forger.sendTo("127.0.0.1", learned, "genuine");
  auto done = finish(pool);
  EXPECT_EQ(done[0].bytes, "genuine");
  EXPECT_EQ(done[1].outcome, UdpOutcome::TimedOut) << done[1].bytes;
}

TEST(StatusQueryPool, AReplyBelongsToTheQueryItAnswers) {
  FakeGameServer dup, late, shared;
  // Answers its first request twice, then stays silent.
  dup.queue(FakeAnswer::split({"first", "first again"}));
  dup.queue(FakeAnswer::silence());
  // Answers its first request after its query has timed out.
  late.queue(FakeAnswer::reply("too late", 300));
  late.queue(FakeAnswer::silence());
  // Two queries to one server share one request and its answer.
  shared.setResponder([&](const FakeDatagram&) {
    return FakeAnswer::reply("answer " + std::to_string(shared.receivedCount()), 50);
  });

  StatusQueryPool pool(10, 1, nullptr);
  pool.start(0, "127.0.0.1", dup.portText(), 1000);
  pool.start(1, "127.0.0.1", late.portText(), 100);
  pool.start(2, "127.0.0.1", shared.portText(), 1000);
  pool.start(3, "127.0.0.1", shared.portText(), 1000);
  auto first = finish(pool);
  EXPECT_EQ(first[0].bytes, "first");
  EXPECT_EQ(first[1].outcome, UdpOutcome::TimedOut);
  EXPECT_EQ(first[2].bytes, "answer 1");
  EXPECT_EQ(first[3].bytes, "answer 1");
  EXPECT_EQ(shared.receivedCount(), 1u);
  // The next queries to the same servers: the repeated and the late answer
  // to the first ones are nobody's.
  pool.start(4, "127.0.0.1", dup.portText(), 600);
  pool.start(5, "127.0.0.1", late.portText(), 600);
  auto second = finish(pool);
  EXPECT_EQ(second[4].outcome, UdpOutcome::TimedOut) << second[4].bytes;
  EXPECT_EQ(second[5].outcome, UdpOutcome::TimedOut) << second[5].bytes;
  EXPECT_EQ(late.receivedCount(), 2u);
}

TEST(StatusQueryPool, SizeLimitsAndFailures) {
  FakeGameServer fits, big, empty, other;
  fits.queueReply(std::string(8192, 'a'));  // the protocol's limit, exactly
  big.queue(FakeAnswer::oversized(8193));
  empty.queueReply("");
  // Answers from another port than it was asked on: not its reply.
  other.queue(FakeAnswer{{"elsewhere"}, 0, true});

  StatusQueryPool pool(10, 1, nullptr);
  pool.start(0, "127.0.0.1", fits.portText(), 1000);
  pool.start(1, "127.0.0.1", big.portText(), 1000);
  pool.start(2, "127.0.0.1", empty.portText(), 1000);
  pool.start(3, "127.0.0.1", "notaport", 1000);
  pool.start(4, "no-such-host.invalid", "27015", 1000);
  pool.start(5, "127.0.0.1", other.portText(), 100);
  auto done = finish(pool);
  ASSERT_EQ(done.size(), 6u);
  ASSERT_TRUE(done[0].ok()) << done[0].error;
  EXPECT_EQ(done[0].bytes, std::string(8192, 'a'));
  for (int failed : {1, 2, 3, 4}) {
    EXPECT_EQ(done[failed].outcome, UdpOutcome::Failed) << failed;
    EXPECT_FALSE(done[failed].error.empty()) << failed;
  }
  EXPECT_NE(done[1].error.find("8193"), std::string::npos);
  EXPECT_EQ(done[5].outcome, UdpOutcome::TimedOut);
}

TEST(StatusQueryPool, StaysWithinTheOpenFileLimit) {
  std::vector<std::unique_ptr<FakeGameServer>> servers;
  for (int i = 0; i < 5; ++i) {
    servers.push_back(std::make_unique<FakeGameServer>());
    servers.back()->setReply("pong");
  }
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit low = saved;
  low.rlim_cur = std::max<rlim_t>(openDescriptors() + 10, kSpareDescriptors + 10);
  ASSERT_LE(low.rlim_cur, saved.rlim_cur);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<int> held;
  {
    StatusQueryPool pool(1000, 1, nullptr);
    EXPECT_EQ(pool.maxInFlight(), static_cast<int>(low.rlim_cur) - 64);
    // Two descriptors left: the other queries wait for one rather than fail.
    for (int fd = ::open("/dev/null", O_RDONLY); fd >= 0 && held.size() < low.rlim_cur;
         fd = ::open("/dev/null", O_RDONLY))
      held.push_back(fd);
    EXPECT_EQ(errno, EMFILE);
    for (int i = 0; i < 2 && !held.empty(); ++i) {
      ::close(held.back());
      held.pop_back();
    }
    for (int i = 0; i < 5; ++i) pool.start(i, "127.0.0.1", servers[i]->portText(), 2000);
    auto done = finish(pool);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(done[i].bytes, "pong") << i << " " << done[i].error;
  }
  for (int fd : held) ::close(fd);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  for (const auto& server : servers) EXPECT_EQ(server->receivedCount(), 1u);
}

TEST(StatusQueryPool, StopEndsTheWaitAndTheSocketsCloseWithThePool) {
  std::vector<std::unique_ptr<FakeGameServer>> silent;
  for (int i = 0; i < 10; ++i) silent.push_back(std::make_unique<FakeGameServer>());
  StopSignal stop;
  const int before = openDescriptors();
  {
    StatusQueryPool pool(100, 2, &stop);
    for (int i = 0; i < 50; ++i) pool.start(i, "127.0.0.1", silent[i % 10]->portText(), 60000);
    EXPECT_GT(openDescriptors(), before);
    for (const auto& s : silent) ASSERT_TRUE(s->waitForCount(1, 10000));
    const auto t0 = std::chrono::steady_clock::now();
    stop.request();
    EXPECT_FALSE(pool.wait());
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(20));
    EXPECT_EQ(pool.active(), 50);
  }
  EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
