// Many status queries in flight over a few sockets, against fake servers on loopback.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/StopSignal.h"
#include "protocol/StatusQuery.h"
#include "protocol/StatusQueryPool.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using tarvix::test::FakeAnswer;
using tarvix::test::FakeDatagram;
using tarvix::test::FakeGameServer;

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

TEST(StatusQueryPool, RepliesAreToldApartBySenderWhateverTheirOrder) {
  FakeGameServer slow, fast, middle, late, silent;
  slow.queueReply("slow", 700);
  fast.queueReply("fast");
  middle.queueReply("middle", 150);
  // Answers both tries, each after both have timed out.
  late.setResponder([](const FakeDatagram&) { return FakeAnswer::reply("late", 400); });

  // One socket carries all five, so every reply is told apart by its sender.
  StatusQueryPool pool(5, 2, nullptr);
  ASSERT_EQ(pool.socketCount(), 1);
  pool.start(0, "127.0.0.1", late.portText(), 100);
  pool.start(1, "127.0.0.1", slow.portText(), 1000);
  pool.start(2, "127.0.0.1", fast.portText(), 1000);
  pool.start(3, "127.0.0.1", middle.portText(), 1000);
  pool.start(4, "127.0.0.1", silent.portText(), 100);
  EXPECT_FALSE(pool.hasRoom());

  std::vector<int> order;
  auto done = finish(pool, &order);
  ASSERT_EQ(done.size(), 5u);
  // The late server timed out after its two tries; its replies, arriving
  // while other queries wait on the same socket, went to nobody.
  EXPECT_EQ(done[0].outcome, UdpOutcome::TimedOut);
  EXPECT_EQ(done[1].bytes, "slow");
  EXPECT_EQ(done[2].bytes, "fast");
  EXPECT_EQ(done[3].bytes, "middle");
  EXPECT_EQ(done[3].fromPort, middle.port());
  EXPECT_EQ(done[4].outcome, UdpOutcome::TimedOut);
  EXPECT_EQ(order.front(), 2);
  EXPECT_EQ(order.back(), 1);
  EXPECT_EQ(late.receivedCount(), 2u);
  EXPECT_EQ(silent.receivedCount(), 2u);
  EXPECT_EQ(fast.receivedCount(), 1u);
  ASSERT_EQ(silent.received()[1].bytes, statusRequest());
  EXPECT_TRUE(pool.hasRoom());
}

TEST(StatusQueryPool, RetriesDuplicatesAndFailures) {
  FakeGameServer lossy, twice, big, empty, other;
  // The first request is lost: the retry is answered.
  lossy.queue(FakeAnswer::silence());
  lossy.queueReply("second try");
  twice.setResponder([&](const FakeDatagram&) {
    return FakeAnswer::reply("answer " + std::to_string(twice.receivedCount()), 50);
  });
  big.queue(FakeAnswer::oversized(9000));
  empty.queueReply("");
  // Answers from another port than it was asked on: not its reply.
  other.queue(FakeAnswer{{"elsewhere"}, 0, true});

  StatusQueryPool pool(10, 2, nullptr);
  pool.start(0, "127.0.0.1", lossy.portText(), 150);
  pool.start(1, "127.0.0.1", twice.portText(), 1000);
  pool.start(2, "127.0.0.1", twice.portText(), 1000);
  pool.start(3, "127.0.0.1", big.portText(), 1000);
  pool.start(4, "127.0.0.1", empty.portText(), 1000);
  pool.start(5, "127.0.0.1", "notaport", 1000);
  pool.start(6, "no-such-host.invalid", "27015", 1000);
  pool.start(7, "127.0.0.1", other.portText(), 100);
  auto done = finish(pool);
  ASSERT_EQ(done.size(), 8u);
  EXPECT_EQ(done[0].bytes, "second try");
  EXPECT_EQ(lossy.receivedCount(), 2u);
  // The same server twice: the second query waits for the first, so each
  // reply belongs to one query and the server was asked twice only.
  EXPECT_EQ(done[1].bytes, "answer 1");
  EXPECT_EQ(done[2].bytes, "answer 2");
  EXPECT_EQ(twice.receivedCount(), 2u);
  for (int failed : {3, 4, 5, 6}) {
    EXPECT_EQ(done[failed].outcome, UdpOutcome::Failed) << failed;
    EXPECT_FALSE(done[failed].error.empty()) << failed;
  }
  EXPECT_NE(done[3].error.find("9000"), std::string::npos);
  EXPECT_EQ(done[7].outcome, UdpOutcome::TimedOut);
}

TEST(StatusQueryPool, StopEndsTheWaitAndTheSocketsCloseWithThePool) {
  std::vector<std::unique_ptr<FakeGameServer>> silent;
  for (int i = 0; i < 10; ++i) silent.push_back(std::make_unique<FakeGameServer>());
  StopSignal stop;
  const int before = openDescriptors();
  {
    StatusQueryPool pool(100, 2, &stop);
    EXPECT_LE(pool.socketCount(), 4);
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
