#include <gtest/gtest.h>

#include "protocol/Rcon.h"
#include "support/FakeGameServer.h"

using namespace tarvix;
using namespace tarvix::test;

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
  const std::string expected =
      std::string("\xFF\xFF\xFF\xFF\x02rcon p\xE4ss \"w kick \"a\"b\"\n") + '\0';
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

TEST(Rcon, ServerTextNeverEndsOrSplitsACommand) {
  EXPECT_EQ(quotedRconArgument("Bob"), "\"Bob\"");
  // Blanks, ';', backslashes and high bytes stay inside the quotes.
  EXPECT_EQ(quotedRconArgument("a b;quit\\ \xFF\xE9"), "\"a b;quit\\ \xFF\xE9\"");
  EXPECT_EQ(quotedRconArgument(""), "\"\"");
  for (const std::string& bad :
       {std::string("nl\nquit"), std::string("cr\rx"), std::string("nul\0x", 5),
        std::string("tab\t"), std::string("del\x7F"), std::string("a\"b"), std::string("\"")})
    EXPECT_FALSE(quotedRconArgument(bad).has_value()) << bad;

  EXPECT_EQ(sayText("evil;quit"), "evilquit");
  EXPECT_EQ(sayText(std::string("a\nb\0c\"d\x7F e\xFF", 11)), "abcd e\xFF");
  EXPECT_EQ(sayText("obj/obj_team2"), "obj/obj_team2");
}

TEST(Rcon, StatusRowIsFoundByTheWholeNameField) {
  const std::string reply =
      "\nmap: obj/obj_team2\n"
      "num score ping name            lastmsg address               qport rate\n"
      "--- ----- ---- --------------- ------- --------------------- ----- -----\n"
      "  0     4   20 Bob Smith             0 10.0.0.6:12203         1111 25000\n"
      "  1     5   20 Bobby                 0 10.0.0.7:12203         1112 25000\n"
      "  2     6   20 Bob 12                0 10.0.0.8:12203         1113 25000\n"
      "  3    -9 CNCT Ev 0 6.6.6.6:1 0 0    0 10.0.0.9:12203         1114 25000\n"
      "  4     7   30 Bob                   0 10.0.0.5:12203         1115 25000\n"
      "  5     8   40 Smith                50 10.0.0.4:12203         1116 25000\n";
  // A name that is a prefix, a suffix or a part of another name, or of the
  // header, finds its own row only.
  EXPECT_EQ(statusAddress(reply, "Bob"), "10.0.0.5");
  EXPECT_EQ(statusScore(reply, "Bob"), "7");
  EXPECT_EQ(statusAddress(reply, "Smith"), "10.0.0.4");
  EXPECT_EQ(statusScore(reply, "Smith"), "8");
  EXPECT_EQ(statusAddress(reply, "Bob Smith"), "10.0.0.6");
  EXPECT_EQ(statusAddress(reply, "Bob 12"), "10.0.0.8");
  EXPECT_EQ(statusScore(reply, "Bob 12"), "6");
  // A name that imitates a row's tail does not take that tail's address.
  EXPECT_EQ(statusAddress(reply, "Ev"), "");
  EXPECT_EQ(statusAddress(reply, "Ev 0 6.6.6.6:1 0 0"), "10.0.0.9");
  EXPECT_EQ(statusScore(reply, "Ev 0 6.6.6.6:1 0 0"), "-9");
  for (const char* notAPlayer : {"name", "ping", "lastmsg", "Bo", "-----", "0", "obj_team2"}) {
    EXPECT_EQ(statusAddress(reply, notAPlayer), "") << notAPlayer;
    EXPECT_EQ(statusScore(reply, notAPlayer), "") << notAPlayer;
  }
  // An address is never read from another line, and a row ended by CR LF
  // reads like one ended by LF.
  EXPECT_EQ(statusAddress("  0    3   10 Al     0\n1.2.3.4:5 6\n", "Al"), "");
  EXPECT_EQ(statusAddress("  0    3   10 Al     0 1.2.3.4:5  6 7\r\n", "Al"), "1.2.3.4");
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

  // Score run ends where the row starts.
  EXPECT_EQ(statusScore("123   50 Bob  0 1.2.3.4:5", "Bob"), "123");
  EXPECT_EQ(statusScore("\n99   50 Bob  0 1.2.3.4:5\n", "Bob"), "99");
  EXPECT_EQ(statusAddress("\n 7    1 x      0 bot\n", "x"), "bot");
  // Not a row: a blank at the score's last position, a name too near the
  // start, no time or address after the name.
  EXPECT_EQ(statusScore("12    50 Bob  0 1.2.3.4:5", "Bob"), "");
  EXPECT_EQ(statusScore("  50 Bob  0 1.2.3.4:5", "Bob"), "");
  EXPECT_EQ(statusAddress("Bob  0 1.2.3.4", "Bob"), "");
  EXPECT_EQ(statusAddress("12   50 Bob", "Bob"), "");
  EXPECT_EQ(statusAddress("12   50 Bob  0", "Bob"), "");
  EXPECT_EQ(statusAddress("", "Bob"), "");
  EXPECT_EQ(statusScore("", "Bob"), "");
  EXPECT_EQ(statusAddress(reply, ""), "");
  EXPECT_EQ(statusScore(reply, ""), "");
}
