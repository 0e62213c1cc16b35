#include <gtest/gtest.h>

#include "base/Text.h"
#include "protocol/MasterList.h"

namespace tarvix {
namespace {

TEST(MasterList, GreetingWithAndWithoutFinalAndRefusals) {
  EXPECT_EQ(readGreeting("\\basic\\\\secure\\ABCDEF\\final\\", false).challenge, "ABCDEF");
  EXPECT_EQ(readGreeting("\\basic\\\\secure\\ABCDEF", false).state, GreetingState::Challenge);
  // Only part of the challenge so far: wait for the rest.
  EXPECT_EQ(readGreeting("\\basic\\\\secure\\ABC", false).state, GreetingState::Incomplete);
  EXPECT_EQ(readGreeting("\\basic\\", false).state, GreetingState::Incomplete);

  Greeting fatal = readGreeting("\\fatal\\Too many\\final\\", false);
  EXPECT_EQ(fatal.state, GreetingState::Refused);
  EXPECT_EQ(fatal.message, "Too many");
  EXPECT_EQ(readGreeting("", true).state, GreetingState::Malformed);
  EXPECT_EQ(readGreeting("\\basic\\\\secure\\\\final\\", false).state, GreetingState::Malformed);
  EXPECT_EQ(readGreeting(std::string(kMaxGreetingBytes + 1, 'x'), false).state,
            GreetingState::Malformed);
  EXPECT_EQ(readGreeting(std::string(kMaxGreetingBytes, 'x'), false).state,
            GreetingState::Incomplete);
}

// A refusal's text is the master's: its control bytes are shown escaped and
// it is cut at 200 bytes.
TEST(MasterList, RefusalTextIsEscapedAndCut) {
  EXPECT_EQ(readGreeting("\\fatal\\a\x1B[2J\r\nb\\final\\", false).message, "a\\x1B[2J\\x0D\\x0Ab");
  const std::string longText(300, 'z');
  EXPECT_EQ(readListReply("\\echo\\" + longText + "\\final\\", true).message,
            std::string(200, 'z'));
}

TEST(MasterList, RequestLines) {
  EXPECT_EQ(
      validateLine("mohaa", "iA2tel80"),
      "\\gamename\\mohaa\\gamever\\3.0\\location\\0\\validate\\iA2tel80\\final\\\\queryid\\1.1");
  EXPECT_EQ(listRequest("mohaas"), "\\list\\cmp\\gamename\\mohaas\\final\\");
}

TEST(MasterList, CompressedListAndItsFailures) {
  const std::string two =
      std::string("\xC0\x00\x02\x01\x30\x0C", 6) + std::string("\x7F\x00\x00\x01\x00\x01", 6);
  ListReply r = readListReply(two + "\\final\\", false);
  ASSERT_EQ(r.state, ListState::Complete);
  ASSERT_EQ(r.servers.size(), 2u);
  EXPECT_EQ(dottedAddress(r.servers[0].ip), "192.0.2.1");
  EXPECT_EQ(r.servers[0].port, 12300);
  EXPECT_EQ(dottedAddress(r.servers[1].ip), "127.0.0.1");
  EXPECT_EQ(r.servers[1].port, 1);
  EXPECT_EQ(readListReply("\\final\\", true).state, ListState::Complete);

  EXPECT_EQ(readListReply(two, false).state, ListState::Incomplete);
  EXPECT_EQ(readListReply(two, true).state, ListState::Malformed);
  EXPECT_EQ(readListReply(two + "x\\final\\", true).state, ListState::Malformed);
  EXPECT_EQ(readListReply("", true).state, ListState::Malformed);

  ListReply echo = readListReply("\\echo\\You failed to authenticate.\\final\\", false);
  EXPECT_EQ(echo.state, ListState::Refused);
  EXPECT_EQ(echo.message, "You failed to authenticate.");

  // The cap, from both sides.
  EXPECT_EQ(readListReply(two + "\\final\\", false, 2).state, ListState::Complete);
  EXPECT_EQ(readListReply(two + "\\final\\", false, 1).state, ListState::TooLong);
}

// Entries whose bytes spell a keyword are entries: a list is decided by
// its structure, and a refusal is text.
TEST(MasterList, EntriesSpellingKeywordsAreAList) {
  const std::string echo = "\\echo\\";  // 92.101.99.104:28508
  const std::string final6 = "\\final", binary("\x7F\0\0\x01\x30\x0C", 6);
  struct Case {
    std::string bytes;
    bool bareChallenge;
    std::size_t entries;
  };
  for (const Case& c : {Case{echo + binary + "\\final\\", false, 2},
                        Case{final6 + "\\" + binary.substr(1) + "\\final\\", true, 2},
                        Case{"\\final\\" + final6 + "\\" + binary.substr(1) + "\\final\\", true, 2},
                        Case{"\\final\\\\final\\", true, 0}}) {
    SCOPED_TRACE(escapeControls(c.bytes));
    const ListReply r = c.bareChallenge ? readListReplyAfterBareChallenge(c.bytes, true)
                                        : readListReply(c.bytes, true);
    ASSERT_EQ(r.state, ListState::Complete) << r.message;
    EXPECT_EQ(r.servers.size(), c.entries);
  }
}

// Entries no server can have are dropped; private ones only when the master
// is not at a private address itself.
TEST(MasterList, KeepsTheEntriesThatMayBeAsked) {
  constexpr std::uint32_t kPublicMaster = 0xC6336401, kLoopbackMaster = 0x7F000001;
  struct Case {
    std::uint32_t ip;
    std::uint16_t port;
    bool fromPublic, fromPrivate;
  };
  for (const Case& c : {Case{0xC0000201, 12300, true, true}, Case{0xDFFFFFFE, 1, true, true},
                        Case{0x7F000003, 12300, false, true}, Case{0x0A000001, 1, false, true},
                        Case{0xAC1F0001, 1, false, true}, Case{0xAC200001, 1, true, true},
                        Case{0xC0A80101, 1, false, true}, Case{0xA9FE0101, 1, false, true},
                        Case{0xC0000201, 0, false, false}, Case{0, 12300, false, false},
                        Case{0x00000001, 12300, false, false}, Case{0xFFFFFFFF, 1, false, false},
                        Case{0xE0000001, 12300, false, false}, Case{0xC00002FF, 1, false, false}}) {
    SCOPED_TRACE(dottedAddress(c.ip) + ":" + std::to_string(c.port));
    for (const bool privateMaster : {false, true}) {
      std::vector<ListedServer> list{{c.ip, c.port}};
      const ListedDrops dropped =
          keepAskable(list, privateMaster ? kLoopbackMaster : kPublicMaster);
      const bool kept = privateMaster ? c.fromPrivate : c.fromPublic;
      EXPECT_EQ(list.size(), kept ? 1u : 0u) << privateMaster;
      EXPECT_EQ(dropped.privates, !kept && usableServer({c.ip, c.port}) ? 1u : 0u);
    }
  }
}

}  // namespace
}  // namespace tarvix
