#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "protocol/StatusQuery.h"
#include "protocol/StatusReply.h"
#include "support/FakeGameServer.h"
#include "support/HangingLookup.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {
using Clock = std::chrono::steady_clock;
const std::string kInfo = "\\sv_hostname\\My Server\\mapname\\obj/obj_team2\\sv_maxclients\\16";
}  // namespace

TEST(StatusQuery, RequestIsExactlySixteenBytesOnTheWire) {
  FakeGameServer server;
  UdpClient c;
  queryStatus(c, "127.0.0.1", server.portText(), 50);
  ASSERT_TRUE(server.waitForCount(1, 2000));
  const std::string expected("\xFF\xFF\xFF\xFF\x02getstatus\x0A\x00", 16);
  EXPECT_EQ(statusRequest(), expected);
  EXPECT_EQ(server.received()[0].bytes, expected);
}

TEST(StatusQuery, AnswerIsReadAndParsed) {
  FakeGameServer server;
  server.queueReply(makeStatusReply(kInfo, {{35, "Sniper"}, {120, ""}}));
  UdpClient c;
  UdpResult r = queryStatus(c, "127.0.0.1", server.portText(), 2000);
  ASSERT_TRUE(r.ok()) << r.error;
  StatusReply s = readStatusReply(r.bytes);
  EXPECT_EQ(s.hostName, "My Server");
  EXPECT_EQ(s.mapName, "obj/obj_team2");
  EXPECT_EQ(s.maxClients, "16");
  EXPECT_EQ(s.edition, "Medal of Honor");
  EXPECT_EQ(s.scanPlayerCount(), 1);
  EXPECT_EQ(s.detailPlayerCount(), 2);
}

TEST(StatusQuery, SilentServerGivesNothingAfterTheTimeOutAndOneRequestOnly) {
  FakeGameServer server;
  UdpClient c;
  auto t0 = Clock::now();
  UdpResult r = queryStatus(c, "127.0.0.1", server.portText(), 500);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
  EXPECT_EQ(r.outcome, UdpOutcome::TimedOut);
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_GE(ms, 500);
  // Give a retry, if there were one, time to arrive.
  EXPECT_FALSE(server.waitForCount(2, 300));
  EXPECT_EQ(server.receivedCount(), 1u);
}

TEST(StatusQuery, ReadsOnlyTheFirstDatagramOfASplitReply) {
  FakeGameServer server;
  server.queue(FakeAnswer::split({makeStatusReply(kInfo, {}), "30 \"late\"\n"}));
  UdpClient c;
  UdpResult r = queryStatus(c, "127.0.0.1", server.portText(), 2000);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, makeStatusReply(kInfo, {}));
  EXPECT_EQ(server.receivedCount(), 1u);
}

TEST(StatusQuery, FailuresAreReportedNotAnswered) {
  FakeGameServer server;
  server.queue(FakeAnswer::oversized());
  UdpClient c;
  UdpResult big = queryStatus(c, "127.0.0.1", server.portText(), 2000);
  EXPECT_TRUE(big.failed());
  EXPECT_TRUE(big.bytes.empty());

  UdpResult port = queryStatus(c, "127.0.0.1", "12a", 2000);
  EXPECT_TRUE(port.failed());
  UdpResult host = queryStatus(c, "no-such-host.invalid", server.portText(), 2000);
  EXPECT_TRUE(host.failed());
  EXPECT_EQ(server.receivedCount(), 1u);
}

TEST(StatusQuery, StopEndsAWaitOnASilentServer) {
  FakeGameServer server;
  UdpClient c;
  StopSignal stop;
  std::thread stopper([&] {
    server.waitForCount(1, 5000);
    stop.request();
  });
  auto t0 = Clock::now();
  UdpResult r = queryStatus(c, "127.0.0.1", server.portText(), 60000, &stop);
  stopper.join();
  EXPECT_EQ(r.outcome, UdpOutcome::Stopped);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count(),
            30000);
  // Once stopped, nothing more goes out.
  EXPECT_EQ(queryStatus(c, "127.0.0.1", server.portText(), 10, &stop).outcome, UdpOutcome::Stopped);
  EXPECT_FALSE(server.waitForCount(2, 100));
}

TEST(StatusQuery, LateAnswerIsNotTakenAfterRecreate) {
  FakeGameServer server;
  server.queueReply(makeStatusReply("\\sv_hostname\\Old", {}), 150);
  server.queueReply(makeStatusReply("\\sv_hostname\\New", {}));
  UdpClient c;
  EXPECT_EQ(queryStatus(c, "127.0.0.1", server.portText(), 20).outcome, UdpOutcome::TimedOut);
  ASSERT_TRUE(server.waitForSent(1, 2000));
  ASSERT_TRUE(c.recreate());
  UdpResult r = queryStatus(c, "127.0.0.1", server.portText(), 2000);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(readStatusReply(r.bytes).hostName, "New");
}

TEST(StatusQuery, OnlyTheQueriedAddressAndPortCanAnswer) {
  FakeGameServer server, intruder;
  const std::string real = makeStatusReply(kInfo, {});
  const std::string forged = makeStatusReply("\\sv_hostname\\Forged\\sv_maxclients\\1", {});
  // The server's own other port answers: nobody answered within the time-out.
  FakeAnswer otherPort = FakeAnswer::reply(forged);
  otherPort.fromOtherPort = true;
  server.queue(otherPort);
  UdpClient c;
  EXPECT_EQ(queryStatus(c, "127.0.0.1", server.portText(), 300).outcome, UdpOutcome::TimedOut);

  // Datagrams from elsewhere, an oversized one included, are dropped and the
  // wait goes on for the real reply.
  ASSERT_TRUE(c.recreate());
  server.queueReply(real, 150);
  std::thread spoof([&] {
    server.waitForCount(2, 5000);
    intruder.sendTo("127.0.0.1", c.localPort(), forged);
    intruder.sendTo("127.0.0.1", c.localPort(), std::string(kReceiveBufferSize + 1, 'x'));
  });
  UdpResult r = queryStatus(c, "127.0.0.1", server.portText(), 5000);
  spoof.join();
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.bytes, real);
  EXPECT_EQ(r.fromPort, server.port());
}

TEST(StatusQuery, StopEndsAHostLookUpThatNeverAnswers) {
  FakeGameServer server;
  test::HangingLookup lookup;
  UdpClient c;
  StopSignal stop;
  UdpResult r;
  std::thread query([&] { r = queryStatus(c, "hangs.example", server.portText(), 60000, &stop); });
  ASSERT_TRUE(lookup.waitForLookups(1, 5000));
  const auto t0 = Clock::now();
  stop.request();
  query.join();
  // The look-up itself never returns; the stop does not wait for it.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count(), 1000);
  EXPECT_EQ(r.outcome, UdpOutcome::Stopped);
  EXPECT_EQ(lookup.hosts(), std::vector<std::string>{"hangs.example"});
  EXPECT_EQ(server.receivedCount(), 0u);
  // A dotted address never goes through the look-up.
  StopSignal fresh;
  EXPECT_EQ(queryStatus(c, "127.0.0.1", server.portText(), 10, &fresh).outcome,
            UdpOutcome::TimedOut);
  EXPECT_EQ(lookup.hosts().size(), 1u);
}

TEST(StatusQuery, ANameLookedUpBesideAStopSignalIsQueried) {
  FakeGameServer server;
  server.queueReply(makeStatusReply(kInfo, {}));
  UdpClient c;
  StopSignal stop;
  UdpResult r = queryStatus(c, "localhost", server.portText(), 2000, &stop);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(readStatusReply(r.bytes).hostName, "My Server");
  EXPECT_TRUE(queryStatus(c, "no-such-host.invalid", server.portText(), 2000, &stop).failed());
}
