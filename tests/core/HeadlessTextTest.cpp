// What the command line prints and reads without a window: terminal text,
// a password line, and the rows of a discovery.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/core/FetchedLists.h"
#include "app/core/HeadlessBrowse.h"
#include "app/core/SecretLine.h"
#include "app/core/TerminalText.h"
#include "base/StopSignal.h"

namespace tarvix {
namespace {

TEST(TerminalText, ControlsAreEscapedAndTheRestIsUtf8) {
  struct Case {
    std::string in, out;
  };
  for (const Case& c : {
           Case{"plain", "plain"},
           Case{"\x1F\x20", "\\x1F "},                 // the last C0 control, then space
           Case{"~\x7F", "~\\x7F"},                    // DEL
           Case{"\x1B[2J\r\n", "\\x1B[2J\\x0D\\x0A"},  // no escape, no line break
           Case{"\x80", "\xE2\x82\xAC"},               // three UTF-8 bytes
           Case{"\x81\x8D\x8F\x90\x9D", "\\x81\\x8D\\x8F\\x90\\x9D"},  // undefined: C1
           Case{"\x9F", "\xC5\xB8"},                                   // defined, in 0x80-0x9F
           Case{"\xA0\xFF", "\xC2\xA0\xC3\xBF"},                       // two UTF-8 bytes each
           Case{std::string("a\0b", 3), "a\\x00b"},
       }) {
    EXPECT_EQ(terminalText(c.in), c.out) << c.in;
  }
}

struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() { EXPECT_EQ(::pipe(fd), 0); }
  ~Pipe() {
    for (int f : fd)
      if (f >= 0) ::close(f);
  }
  void write(const std::string& s) {
    EXPECT_EQ(::write(fd[1], s.data(), s.size()), ssize_t(s.size()));
  }
  void closeWriter() {
    ::close(fd[1]);
    fd[1] = -1;
  }
};

TEST(SecretLine, ReadsOneLineAndLeavesTheRest) {
  Pipe p;
  p.write("s3cret\r\nnext\nlast");
  p.closeWriter();
  StopSignal stop;
  std::string line;
  EXPECT_EQ(readSecretLine(p.fd[0], stop, line), SecretLineRead::Line);
  EXPECT_EQ(line, "s3cret");  // a CR LF line end is a line end
  EXPECT_EQ(readSecretLine(p.fd[0], stop, line), SecretLineRead::Line);
  EXPECT_EQ(line, "next");
  // The input ends before a line break: what came is kept.
  EXPECT_EQ(readSecretLine(p.fd[0], stop, line), SecretLineRead::End);
  EXPECT_EQ(line, "last");
  EXPECT_EQ(readSecretLine(p.fd[0], stop, line), SecretLineRead::End);
  EXPECT_EQ(line, "");
}

TEST(SecretLine, StopEndsAWaitForInput) {
  Pipe p;
  StopSignal stop;
  stop.request();
  std::string line = "old";
  EXPECT_EQ(readSecretLine(p.fd[0], stop, line), SecretLineRead::Stopped);
  EXPECT_EQ(line, "");
}

TEST(HeadlessBrowse, ListNames) {
  for (const char* good : {"Mine", "a-b_c", "x y"}) EXPECT_EQ(listNameProblem(good), "") << good;
  for (const char* bad : {"", "   ", "-", "--json", ".", "a.b", "a/b", "a\\b", "a\tb", "\x7F"})
    EXPECT_NE(listNameProblem(bad), "") << bad;
}

TEST(HeadlessBrowse, RowsAndBuddyHits) {
  DiscoveryResult r;
  FoundServer full, open, silent;
  full.ip = "192.0.2.1";
  full.gamePort = 12203;
  full.answered = true;
  full.numPlayers = 9;  // a reserved slot over the maximum: full
  full.maxPlayers = 8;
  full.gameName = "mohaas";
  full.mapName = "dm/mohdm6";
  full.players = {{"Al", 1, 0, 30}, {"", 0, 0, 0}, {"[TAG]Bo", 0, 0, 30}};
  open = full;
  open.gamePort = 12204;
  open.numPlayers = 7;
  open.gameName = "mohaa";
  open.players = {{"al", 0, 0, 10}};
  silent.ip = "192.0.2.2";
  silent.gamePort = 12203;
  silent.players = {{"Al", 0, 0, 0}};
  r.servers = {full, open, silent};

  BuddyNames names;
  names.buddies = {"AL", ""};
  names.clantags = {"[TAG]"};
  names.clantagsOn = true;
  const ScanOutcome s = browseRows(r, names);
  ASSERT_EQ(s.rows.size(), 3u);
  EXPECT_EQ(s.rows[0].caption, "FULL");
  EXPECT_EQ(s.rows[0].icon, RowFull);
  EXPECT_EQ(s.rows[0].game, "Spearhead");
  EXPECT_EQ(s.rows[0].host, "192.0.2.1:12203");
  EXPECT_EQ(s.rows[1].caption, "7/8");
  EXPECT_EQ(s.rows[1].icon, RowAnswered);
  EXPECT_EQ(s.rows[1].game, "Medal of Honor");
  EXPECT_EQ(s.rows[2].caption, "no response");
  EXPECT_EQ(s.rows[2].icon, RowNoAnswer);
  EXPECT_EQ(s.status, "3 servers found, 2 answered");
  // Hits only among servers that answered, none for a nameless player.
  ASSERT_EQ(s.buddies.size(), 3u);
  EXPECT_EQ(s.buddies[0].server, "192.0.2.1:12203");
  EXPECT_EQ(s.buddies[1].caption, "[TAG]Bo");
  EXPECT_EQ(s.buddies[2].server, "192.0.2.1:12204");
}

}  // namespace
}  // namespace tarvix
