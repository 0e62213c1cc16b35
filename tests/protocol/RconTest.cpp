#include <gtest/gtest.h>

#include "protocol/Rcon.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using tarvix::test::FakeAnswer;
using tarvix::test::FakeGameServer;
using tarvix::test::makePrintReply;

namespace {

struct RconWire : ::testing::Test {
  FakeGameServer server;
  UdpClient client;
  void SetUp() override { client.setServer("127.0.0.1", server.portText()); }
};

}  // namespace

TEST_F(RconWire, StatusWithEmptyPasswordIsNineteenBytes) {
  ASSERT_TRUE(sendRcon(client, "", "status").ok());
  ASSERT_TRUE(server.waitForCount(1, 2000));
  const std::string expected("\xFF\xFF\xFF\xFF\x02rcon  status\x0A\x00", 19);
  EXPECT_EQ(server.received()[0].bytes, expected);
}

TEST_F(RconWire, PasswordAndCommandGoOutUnchanged) {
  ASSERT_TRUE(sendRcon(client, "p\xE4ss \"w", "kick \"a\"b\"").ok());
  ASSERT_TRUE(server.waitForCount(1, 2000));
  const std::string expected = std::string("\xFF\xFF\xFF\xFF\x02rcon p\xE4ss \"w kick \"a\"b\"\n") + '\0';
  EXPECT_EQ(server.received()[0].bytes, expected);
  EXPECT_EQ(expected.size(), 13u + 7u + 10u);
  // What goes out is exactly what RconRequest builds.
  EXPECT_EQ(rconRequest("p\xE4ss \"w", "kick \"a\"b\""), expected);
}

TEST_F(RconWire, QueryCleansTheReplyAndSplitsItIntoLines) {
  server.queueReply(makePrintReply("\nhello\n"));
  UdpResult r = rconQuery(client, "pw", "say hi", 2000);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.bytes, "\nhello\n");
  EXPECT_EQ(replyLines(r.bytes), (std::vector<std::string>{"", "hello"}));
}

TEST_F(RconWire, ReplyFromAnotherAddressIsReadAllTheSame) {
  FakeAnswer a = FakeAnswer::reply(makePrintReply("\nfrom elsewhere\n"));
  a.fromOtherPort = true;
  server.queue(a);
  UdpResult r = rconQuery(client, "pw", "status", 2000);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, "\nfrom elsewhere\n");
  EXPECT_EQ(r.fromPort, server.otherPort());
}

TEST_F(RconWire, NoAnswerGivesAnEmptyText) {
  UdpResult r = rconQuery(client, "pw", "status", 100);
  EXPECT_EQ(r.outcome, UdpOutcome::TimedOut);
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_EQ(server.receivedCount(), 1u);
}

TEST_F(RconWire, SocketFailuresAreReported) {
  server.queue(FakeAnswer::oversized());
  EXPECT_TRUE(rconQuery(client, "pw", "status", 2000).failed());
  client.setServer("127.0.0.1", "notaport");
  EXPECT_TRUE(sendRcon(client, "pw", "status").failed());
  EXPECT_TRUE(rconQuery(client, "pw", "status", 2000).failed());
  client.setServer("no-such-host.invalid", server.portText());
  EXPECT_TRUE(rconQuery(client, "pw", "status", 2000).failed());
}

// The rest of a split reply, or an answer to an unread command, is taken as
// the reply of the next query on a client that is not re-created.
TEST_F(RconWire, UnreadDatagramsAnswerTheNextQuery) {
  server.queue(FakeAnswer::reply(makePrintReply("\nrestarting\n")));
  server.queue(FakeAnswer::split({makePrintReply("\npart 1\n"), makePrintReply("\npart 2\n")}));
  ASSERT_TRUE(sendRcon(client, "pw", "restart").ok());
  ASSERT_TRUE(server.waitForSent(1, 2000));
  EXPECT_EQ(rconQuery(client, "pw", "status", 2000).bytes, "\nrestarting\n");
  ASSERT_TRUE(server.waitForSent(3, 2000));
  EXPECT_EQ(rconQuery(client, "pw", "status", 2000).bytes, "\npart 1\n");

  ASSERT_TRUE(client.recreate());
  UdpResult after = rconQuery(client, "pw", "status", 100);
  EXPECT_EQ(after.outcome, UdpOutcome::TimedOut);
}

TEST(Rcon, CleanReply) {
  EXPECT_EQ(cleanReply("\xFF\xFF\xFF\xFF\x01print\nhello\n"), "\nhello\n");
  EXPECT_EQ(cleanReply("\xFF\xFF\xFF\xFF\x01PRINT\nhe\xFFllo\x01PrInT\n"), "\nhello\n");
  // "print" without 01 stays; 01 alone stays.
  EXPECT_EQ(cleanReply("print \x01 prin"), "print \x01 prin");
  EXPECT_EQ(cleanReply(""), "");
}

TEST(Rcon, ReplyLines) {
  using V = std::vector<std::string>;
  EXPECT_EQ(replyLines(""), V{});
  EXPECT_EQ(replyLines("x"), V{});
  EXPECT_EQ(replyLines("\n"), V{});
  EXPECT_EQ(replyLines("ab"), V{"a"});
  EXPECT_EQ(replyLines("\nhello\n"), (V{"", "hello"}));
  EXPECT_EQ(replyLines(std::string("\nhello", 6) + '\0'), (V{"", "hello"}));
  EXPECT_EQ(replyLines("a\n\nb\n"), (V{"a", "", "b"}));
  EXPECT_EQ(replyLines("a\n\n\n"), (V{"a", ""}));
}

TEST(Rcon, QuitLinesAwaitNoReply) {
  EXPECT_TRUE(rconAwaitsReply("pw", "status"));
  EXPECT_FALSE(rconAwaitsReply("pw", "QUIT"));
  EXPECT_FALSE(rconAwaitsReply("pw", "say I Quit now"));
  EXPECT_FALSE(rconAwaitsReply("quitter", "status"));  // the password counts too
}

TEST(Rcon, DumpuserValues) {
  const std::string reply =
      "\nuserinfo\n--------\n"
      "rate                 : 25000\n"
      "dm_playergermanmodel : german_wehrmacht_soldier\n"
      "dm_playermodel       : allied_airborne\n";
  EXPECT_EQ(kRateLabel.size(), 22u);
  EXPECT_EQ(kAxisSkinLabel.size(), 22u);
  EXPECT_EQ(kAlliesSkinLabel.size(), 22u);
  EXPECT_EQ(dumpuserValue(reply, kRateLabel), "25000");
  EXPECT_EQ(dumpuserValue(reply, kAxisSkinLabel), "german_wehrmacht_soldier");
  EXPECT_EQ(dumpuserValue(reply, kAlliesSkinLabel), "allied_airborne");

  const std::string noRate = "\ndm_playermodel       : allied_pilot\n";
  EXPECT_EQ(dumpuserValue(noRate, kRateLabel), "");
  // Without a line feed the value ends before the reply's last byte.
  EXPECT_EQ(dumpuserValue(std::string("rate                 : 9000") + '\0', kRateLabel), "9000");
  // Short and odd replies.
  EXPECT_EQ(dumpuserValue("rate                 :", kRateLabel), "");
  EXPECT_EQ(dumpuserValue("rate                 : ", kRateLabel), "");
  EXPECT_EQ(dumpuserValue("rate                 :\n", kRateLabel), "");
  EXPECT_EQ(dumpuserValue("", kRateLabel), "");
}

TEST(Rcon, StatusAddressAndScore) {
  const std::string reply =
      "\nmap: obj/obj_team2\n"
      "score ping name            lastmsg address               qport rate\n"
      "----- ---- --------------- ------- --------------------- ----- -----\n"
      "12   50 Bob             0 10.0.0.5:12203           1234 25000\n"
      "-3  999 Alice          50 192.168.1.20:1024       555 5000\n";
  EXPECT_EQ(statusAddress(reply, "Bob"), "10.0.0.5");
  EXPECT_EQ(statusScore(reply, "Bob"), "12");
  EXPECT_EQ(statusAddress(reply, "Alice"), "192.168.1.20");
  EXPECT_EQ(statusScore(reply, "Alice"), "-3");
  EXPECT_EQ(statusAddress(reply, "Nobody"), "");
  EXPECT_EQ(statusScore(reply, "Nobody"), "");

  // The first occurrence counts, even inside another word.
  const std::string prefix = "\n 5   20 Bobby  0 1.1.1.1:1\n 7   30 Bob  0 2.2.2.2:2\n";
  EXPECT_EQ(statusScore(prefix, "Bob"), "5");
  EXPECT_EQ(statusAddress(prefix, "Bob"), "01.1.1.1");  // "y" is passed over as the time
  EXPECT_EQ(statusScore("\n 7    1 x\n", "x"), "7");
  // Score run stops at the start of the text or a line break.
  EXPECT_EQ(statusScore("123   50 Bob", "Bob"), "123");
  EXPECT_EQ(statusScore("\n99   50 Bob", "Bob"), "99");
  // A blank at the score's last position, or a name too near the start.
  EXPECT_EQ(statusScore("12    50 Bob", "Bob"), "");
  EXPECT_EQ(statusScore("  50 Bob", "Bob"), "");
  EXPECT_EQ(statusScore("Bob", "Bob"), "");
  // Short replies and names at the very end.
  EXPECT_EQ(statusAddress("Bob", "Bob"), "");
  EXPECT_EQ(statusAddress("Bob ", "Bob"), "");
  EXPECT_EQ(statusAddress("Bob  0", "Bob"), "");
  EXPECT_EQ(statusAddress("Bob  0 1.2.3.4", "Bob"), "1.2.3.4");
  EXPECT_EQ(statusAddress("", "Bob"), "");
  EXPECT_EQ(statusScore("", "Bob"), "");
  EXPECT_EQ(statusAddress(reply, ""), "");
  EXPECT_EQ(statusScore(reply, ""), "");
}
