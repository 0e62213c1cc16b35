#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "protocol/UdpClient.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using tarvix::test::FakeAnswer;
using tarvix::test::FakeGameServer;

namespace {

using Clock = std::chrono::steady_clock;

long long elapsedMs(Clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

}  // namespace

TEST(UdpClient, PortTextMustBeADecimalNumber) {
  std::uint16_t p = 0;
  for (std::uint16_t good : {1, 12203, 65535}) {
    p = 0;
    EXPECT_TRUE(parsePort(std::to_string(good), p)) << good;
    EXPECT_EQ(p, good);
  }
  for (const char* bad : {"", "abc", "12x", " 80", "80 ", "0", "65536", "-1", "1e3"})
    EXPECT_FALSE(parsePort(bad, p)) << bad;

  UdpClient c;
  UdpResult r = c.sendTo("127.0.0.1", "port", "x");
  EXPECT_TRUE(r.failed());
  EXPECT_FALSE(r.error.empty());
}

TEST(UdpClient, UnresolvableHostIsAFailureAndSendsNothing) {
  FakeGameServer server;
  UdpClient c;
  UdpResult r = c.sendTo("no-such-host.invalid", server.portText(), "x");
  EXPECT_TRUE(r.failed());
  EXPECT_NE(r.error.find("no-such-host.invalid"), std::string::npos);
  EXPECT_EQ(server.receivedCount(), 0u);
}

TEST(UdpClient, HostNameIsResolved) {
  FakeGameServer server;
  UdpClient c;
  ASSERT_TRUE(c.sendTo("localhost", server.portText(), "hello").ok());
  ASSERT_TRUE(server.waitForCount(1, 2000));
  EXPECT_EQ(server.received()[0].bytes, "hello");
}

TEST(UdpClient, SendsBytesUnchangedAndReadsOneDatagram) {
  FakeGameServer server;
  const std::string all = [] {
    std::string s;
    for (int i = 0; i < 256; ++i) s.push_back(static_cast<char>(i));
    return s;
  }();
  server.queueReply(all);
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());
  ASSERT_TRUE(c.send(all).ok());
  UdpResult r = c.receive(2000);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.bytes, all);
  EXPECT_EQ(r.fromHost, "127.0.0.1");
  EXPECT_EQ(r.fromPort, server.port());
  ASSERT_EQ(server.receivedCount(), 1u);
  EXPECT_EQ(server.received()[0].bytes, all);
  EXPECT_EQ(server.received()[0].fromPort, c.localPort());
}

TEST(UdpClient, DatagramSizeLimits) {
  FakeGameServer server;
  // Literal sizes: the limit is the protocol's, not whatever the buffer is.
  server.queueReply(std::string(8192, 'a'));  // fits exactly
  server.queue(FakeAnswer::oversized(8193));  // one byte too many
  server.queueReply("");                      // zero-length
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());

  ASSERT_TRUE(c.send("1").ok());
  UdpResult fits = c.receive(2000);
  ASSERT_TRUE(fits.ok()) << fits.error;
  EXPECT_EQ(fits.bytes.size(), 8192u);

  ASSERT_TRUE(c.send("2").ok());
  UdpResult big = c.receive(2000);
  EXPECT_TRUE(big.failed());
  EXPECT_TRUE(big.bytes.empty());

  ASSERT_TRUE(c.send("3").ok());
  UdpResult empty = c.receive(2000);
  EXPECT_TRUE(empty.failed());
}

TEST(UdpClient, NothingWithinTimeOut) {
  FakeGameServer server;  // silent
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());
  ASSERT_TRUE(c.send("x").ok());
  auto t0 = Clock::now();
  UdpResult r = c.receive(200);
  EXPECT_EQ(r.outcome, UdpOutcome::TimedOut);
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_GE(elapsedMs(t0), 200);
}

TEST(UdpClient, StopSignalEndsAWaitAtOnce) {
  FakeGameServer server;
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());
  StopSignal stop;
  ASSERT_TRUE(c.send("x").ok());
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop.request();
  });
  auto t0 = Clock::now();
  UdpResult r = c.receive(60000, &stop);
  stopper.join();
  EXPECT_EQ(r.outcome, UdpOutcome::Stopped);
  // Far below the 60 s time-out; generous for a loaded machine.
  EXPECT_LT(elapsedMs(t0), 30000);
  EXPECT_TRUE(stop.requested());

  // A requested signal stops the next wait before it starts; reset re-arms it.
  EXPECT_EQ(c.receive(60000, &stop).outcome, UdpOutcome::Stopped);
  stop.reset();
  EXPECT_FALSE(stop.requested());
  EXPECT_EQ(c.receive(10, &stop).outcome, UdpOutcome::TimedOut);
}

TEST(UdpClient, StopSignalWakesAPause) {
  StopSignal stop;
  EXPECT_FALSE(stop.waitFor(10));
  std::thread stopper([&] { stop.request(); });
  EXPECT_TRUE(stop.waitFor(60000));
  stopper.join();
}

TEST(UdpClient, RecreateDropsUnreadDatagramsAndTakesANewPort) {
  FakeGameServer server;
  server.queueReply("late answer");
  server.queueReply("fresh answer");
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());
  ASSERT_TRUE(c.send("first").ok());
  ASSERT_TRUE(server.waitForSent(1, 2000));
  const std::uint16_t before = c.localPort();
  ASSERT_NE(before, 0);

  ASSERT_TRUE(c.recreate());
  EXPECT_NE(c.localPort(), before);
  EXPECT_EQ(c.receive(100).outcome, UdpOutcome::TimedOut);

  ASSERT_TRUE(c.send("second").ok());
  UdpResult r = c.receive(2000);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, "fresh answer");
  auto got = server.received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].fromPort, before);
  EXPECT_EQ(got[1].fromPort, c.localPort());
}

TEST(UdpClient, UnreadDatagramsStayQueuedWithoutRecreate) {
  FakeGameServer server;
  server.queue(FakeAnswer::split({"part one", "part two"}));
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());
  ASSERT_TRUE(c.send("x").ok());
  ASSERT_TRUE(server.waitForSent(2, 2000));
  UdpResult a = c.receive(2000);
  UdpResult b = c.receive(2000);
  EXPECT_EQ(a.bytes, "part one");
  EXPECT_EQ(b.bytes, "part two");
}
