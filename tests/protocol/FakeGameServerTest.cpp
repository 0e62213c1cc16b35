#include <gtest/gtest.h>

#include <memory>

#include "protocol/StatusQuery.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using namespace tarvix::test;

TEST(FakeGameServer, ScriptQueueThenResponderThenSilence) {
  FakeGameServer server;
  server.queueReply("first");
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());
  ASSERT_TRUE(c.send("a").ok());
  EXPECT_EQ(c.receive(2000).bytes, "first");
  ASSERT_TRUE(c.send("b").ok());
  EXPECT_EQ(c.receive(50).outcome, UdpOutcome::TimedOut);  // nothing scripted: silence

  server.setResponder([](const FakeDatagram& d) { return FakeAnswer::reply("echo:" + d.bytes); });
  ASSERT_TRUE(c.send("c").ok());
  EXPECT_EQ(c.receive(2000).bytes, "echo:c");
  auto got = server.received();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[1].bytes, "b");
  EXPECT_EQ(got[1].fromHost, "127.0.0.1");
}

TEST(FakeGameServer, DelayedAnswerDoesNotHoldBackRecording) {
  FakeGameServer server;
  server.queueReply("slow", 300);
  UdpClient c;
  c.setServer("127.0.0.1", server.portText());
  ASSERT_TRUE(c.send("1").ok());
  ASSERT_TRUE(c.send("2").ok());
  EXPECT_TRUE(server.waitForCount(2, 2000));
  EXPECT_EQ(server.sentCount(), 0u);
  EXPECT_EQ(c.receive(5000).bytes, "slow");
}

TEST(FakeGameServer, TwoHundredServersAnswerAtOnce) {
  std::vector<std::unique_ptr<FakeGameServer>> servers;
  for (int i = 0; i < 200; ++i) {
    servers.push_back(std::make_unique<FakeGameServer>());
    servers.back()->setReply("server " + std::to_string(i));
  }
  UdpClient c;
  for (int i = 0; i < 200; ++i) {
    UdpResult r = queryStatus(c, "127.0.0.1", servers[i]->portText(), 5000);
    ASSERT_TRUE(r.ok()) << i;
    EXPECT_EQ(r.bytes, "server " + std::to_string(i));
  }
  servers.clear();  // every destructor stops its thread
}
