#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "app/CommandLine.h"
#include "app/core/Headless.h"
#include "base/StopSignal.h"
#include "base/Utf8.h"
#include "support/FakeGameServer.h"
#include "support/FakeGameSpy.h"
#include "support/FakeMaster.h"
#include "support/TempDataDir.h"

using namespace tarvix;
using namespace tarvix::test;

namespace {

struct HeadlessRun {
  std::optional<int> code;
  std::string out;
  std::string err;
};

// Parses the arguments as the program does and runs a headless request; no
// code for the window, 2 for a usage error.
HeadlessRun run(const std::vector<std::string>& args) {
  // The words are Latin-1 here; the command line takes the system's UTF-8.
  std::vector<std::string> arguments{"tarvix"};
  for (const std::string& a : args) {
    arguments.emplace_back();
    for (char ch : a) appendUtf8(arguments.back(), static_cast<unsigned char>(ch));
  }
  const CommandLine c = parseCommandLine(arguments);
  HeadlessRun r;
  if (c.mode == ProgramMode::UsageError) {
    r.code = kUsageExit;
    r.err = "usage: " + c.problem;
    return r;
  }
  if (c.mode == ProgramMode::Window) return r;
  std::ostringstream out, err;
  StopSignal stop;
  r.code = c.run({-1, out, err}, stop);
  r.out = out.str();
  r.err = err.str();
  return r;
}

void writeConfig(const TempDataDir& dir, const std::string& speed, const std::string& mode) {
  dir.writeLines("Config",
                 {"timer off", "Serverlists\\Standard", "clantags off", "Player", "", "", "", speed,
                  mode, "false", "0", "//Quellis Config - Dont change this file !"});
}

}  // namespace

TEST(Headless, NoSwitchStartsTheWindow) {
  EXPECT_FALSE(run({}).code.has_value());
  EXPECT_FALSE(run({"-platform", "offscreen"}).code.has_value());
}

TEST(Headless, BadArgumentsAreUsageErrors) {
  EXPECT_EQ(run({"--query"}).code, 2);
  EXPECT_EQ(run({"--query", "127.0.0.1"}).code, 2);
  EXPECT_EQ(run({"--query", "127.0.0.1:", "--timeout", "10"}).code, 2);
  EXPECT_EQ(run({"--query", "127.0.0.1:1", "--timeout", "soon"}).code, 2);
  EXPECT_EQ(run({"--rcon", "127.0.0.1:1", "pw"}).code, 2);
  HeadlessRun r = run({"--query", "a", "b"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("usage"), std::string::npos);
}

TEST(Headless, QueryPrintsTheParsedReply) {
  TempDataDir dir;
  FakeGameServer server;
  std::string reply = makeStatusReply(
      "\\sv_hostname\\^2My Server\\mapname\\obj/obj_team2\\sv_maplist\\obj/obj_team1 obj/obj_team2"
      "\\version\\2.40\\gamename\\Medal of Honor "
      "Spearhead\\URL\\http://clan.example\\sv_maxclients\\16",
      {{35, "Sni\xFFper"}, {120, ""}, {7, "\xE9t\xE9"}});
  server.queueReply(reply);
  HeadlessRun r = run({"--query", "127.0.0.1:" + server.portText(), "--timeout", "2000"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "hostname\t^2My Server\n"
            "map\tobj/obj_team2\n"
            "maxclients\t16\n"
            "edition\tSpearhead\n"
            "version\t2.40\n"
            "maplist\tobj/obj_team1 obj/obj_team2\n"
            "link\thttp://clan.example\n"
            "player\t35\tSniper\n"
            "player\t120\t\n"
            "player\t7\t\xC3\xA9t\xC3\xA9\n");  // UTF-8
  ASSERT_EQ(server.receivedCount(), 1u);
  EXPECT_EQ(server.received()[0].bytes, std::string("\xFF\xFF\xFF\xFF\x02getstatus\n\0", 16));
}

TEST(Headless, QueryWithoutAnAnswerForARowSelection) {
  TempDataDir dir;
  FakeGameServer silent;
  HeadlessRun a = run({"--query", "127.0.0.1:" + silent.portText(), "--timeout", "50"});
  EXPECT_EQ(a.code, 1);
  EXPECT_EQ(a.out, "");
  EXPECT_EQ(a.err, "no response\n");

  FakeGameServer wrong;  // answers, but not with a status response
  wrong.queueReply(makePrintReply("\nbad challenge\n"));
  HeadlessRun b = run({"--query", "127.0.0.1:" + wrong.portText(), "--timeout", "2000"});
  EXPECT_EQ(b.code, 1);
  EXPECT_EQ(b.err, "no response\n");

  HeadlessRun c = run({"--query", "no-such-host.invalid:12203", "--timeout", "50"});
  EXPECT_EQ(c.code, 1);
  HeadlessRun d = run({"--query", "127.0.0.1:port", "--timeout", "50"});
  EXPECT_EQ(d.code, 1);
  EXPECT_EQ(d.err, "invalid port: port\n");
}

TEST(Headless, QueryTimeOutComesFromConfig) {
  TempDataDir dir;
  FakeGameServer server;
  const std::string reply = makeStatusReply("\\sv_hostname\\Slow", {});
  const std::string address = "127.0.0.1:" + server.portText();

  writeConfig(dir, "100", "fast");
  server.queueReply(reply, 600);
  EXPECT_EQ(run({"--query", address}).code, 1);

  // Save-scan mode waits 10000 ms.
  writeConfig(dir, "100", "save");
  server.queueReply(reply, 600);
  EXPECT_EQ(run({"--query", address}).code, 0);

  // An unreadable Config falls back to 500 ms.
  writeConfig(dir, "fast", "fast");
  server.queueReply(reply, 100);
  EXPECT_EQ(run({"--query", address}).code, 0);
}

TEST(Headless, RconPrintsTheReplyLines) {
  FakeGameServer server;
  server.queueReply(makePrintReply("\nmap: dm/mohdm6\nnum score ping name\n"));
  HeadlessRun r = run({"--timeout", "2000", "--rcon", "127.0.0.1:" + server.portText(), "pa ss",
                       "say", "hello", "--timeout"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "\nmap: dm/mohdm6\nnum score ping name\n");
  ASSERT_EQ(server.receivedCount(), 1u);
  // Command words joined by single blanks, taken verbatim.
  EXPECT_EQ(server.received()[0].bytes,
            std::string("\xFF\xFF\xFF\xFF\x02rcon pa ss say hello --timeout\n") + '\0');

  // A refused password is not a success.
  server.queueReply(makePrintReply("Bad rconpassword.\n"));
  HeadlessRun refused = run({"--rcon", "127.0.0.1:" + server.portText(), "wrong", "status"});
  EXPECT_EQ(refused.code, 4) << refused.err;
  EXPECT_EQ(refused.out, "Bad rconpassword.\n");
}

TEST(Headless, RconWithoutAnswer) {
  FakeGameServer silent;
  HeadlessRun a =
      run({"--rcon", "127.0.0.1:" + silent.portText(), "--timeout", "50", "pw", "status"});
  EXPECT_EQ(silent.received().at(0).bytes,
            std::string("\xFF\xFF\xFF\xFF\x02rcon pw status\n") + '\0');
  EXPECT_EQ(a.out, "no response from server\n");
  EXPECT_EQ(a.code, 1);

  // A "quit" datagram awaits nothing, even when an answer comes.
  FakeGameServer answering;
  answering.setReply(makePrintReply("\nbye\n"));
  HeadlessRun q = run({"--rcon", "127.0.0.1:" + answering.portText(), "pw", "Quit"});
  EXPECT_EQ(q.out, "no response from server\n");
  EXPECT_EQ(q.code, 0);
  EXPECT_TRUE(answering.waitForCount(1, 2000));

  HeadlessRun bad = run({"--rcon", "127.0.0.1:notaport", "pw", "status"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_FALSE(bad.err.empty());
}

TEST(Headless, ServerTextShowsControlBytesEscaped) {
  TempDataDir dir;
  FakeGameServer server;
  server.queueReply(makeStatusReply("\\sv_hostname\\Evil\rplayer\t1\tAdmin\\mapname\\dm/x\r",
                                    {{5, "Tab\tName\x7F"}}));
  HeadlessRun q = run({"--query", "127.0.0.1:" + server.portText(), "--timeout", "2000"});
  EXPECT_EQ(q.code, 0) << q.err;
  EXPECT_NE(q.out.find("hostname\tEvil\\x0Dplayer\\x091\\x09Admin\n"), std::string::npos) << q.out;
  EXPECT_NE(q.out.find("map\tdm/x\\x0D\n"), std::string::npos) << q.out;
  EXPECT_NE(q.out.find("player\t5\tTab\\x09Name\\x7F\n"), std::string::npos) << q.out;

  server.queueReply(makePrintReply(std::string("\nok\rfake\0x\n", 11)));
  HeadlessRun r =
      run({"--rcon", "127.0.0.1:" + server.portText(), "--timeout", "2000", "pw", "status"});
  EXPECT_EQ(r.out, "\nok\\x0Dfake\\x00x\n");

  // The terminal gets UTF-8. The code page's undefined bytes stand for C1
  // controls (0x9D would start a title change) and are escaped; its defined
  // characters in 0x80-0x9F (the euro sign, a quotation mark) are not.
  server.queueReply(makePrintReply("\n\x80 \x9B \x81\x8D\x8F\x90\x9D \xA0\xFC\x7F\x1B\n"));
  HeadlessRun c1 =
      run({"--rcon", "127.0.0.1:" + server.portText(), "--timeout", "2000", "pw", "status"});
  EXPECT_EQ(c1.out,
            "\n\xE2\x82\xAC \xE2\x80\xBA \\x81\\x8D\\x8F\\x90\\x9D \xC2\xA0\xC3\xBC"
            "\\x7F\\x1B\n");
  server.queueReply(
      makeStatusReply("\\sv_hostname\\A\x9D"
                      "2;x\x07\x9B"
                      "B",
                      {}));
  HeadlessRun q1 = run({"--query", "127.0.0.1:" + server.portText(), "--timeout", "2000"});
  EXPECT_NE(q1.out.find("hostname\tA\\x9D2;x\\x07\xE2\x80\xBA"
                        "B\n"),
            std::string::npos)
      << q1.out;
}

TEST(Headless, ScanTimeOutOfTheCommandLineStandsInForAnUnreadableConfigLine) {
  TempDataDir dir;
  FakeGameServer server;
  server.setReply(makeStatusReply("\\sv_hostname\\Up\\sv_maxclients\\8", {}));
  dir.writeInstallation({"Up", "127.0.0.1", server.portText()});
  // The time-out line quotes its bytes in the error: shown escaped, in UTF-8.
  writeConfig(dir, "fa\x9Dst\x1B[2J\xE9", "fast");

  HeadlessRun without = run({"--scan"});
  EXPECT_EQ(without.code, 1);
  EXPECT_EQ(without.err, "'fa\\x9Dst\\x1B[2J\xC3\xA9' is not a valid integer value\n");

  HeadlessRun with = run({"--scan", "--timeout", "2000"});
  EXPECT_EQ(with.code, 0) << with.err;
  EXPECT_EQ(with.out.substr(0, with.out.find('\t')), "0/8") << with.out;
}

namespace {

// Game servers answering \status\ with one part per pair, last part first.
std::unique_ptr<FakeGameServer> gameSpyServer(const tarvix::test::GameSpyPairs& pairs) {
  auto s = std::make_unique<FakeGameServer>();
  s->setResponder(
      [parts = tarvix::test::gameSpyParts(pairs, 1)](const tarvix::test::FakeDatagram&) {
        return FakeAnswer::split({parts.rbegin(), parts.rend()});
      });
  return s;
}

}  // namespace

TEST(Headless, BrowsePrintsScanRowsAndSavesTheList) {
  TempDataDir dir;
  dir.writeInstallation();
  dir.writeLines("Buddys.txt", {"sniper"});
  auto full = gameSpyServer({{"hostname", "Full\x01"},
                             {"hostport", "12203"},
                             {"mapname", "obj/obj_team2"},
                             {"gamename", "mohaas"},
                             {"player_1", "Sniper"},
                             {"numplayers", "2"},
                             {"maxplayers", "2"}});
  auto open = gameSpyServer({{"hostname", "Open"}, {"mapname", "dm/mohdm6"}, {"maxplayers", "8"}});
  FakeGameServer silent;
  FakeMaster master, broken(MasterBehaviour::Garbage);
  master.setList("mohaa", {{"127.0.0.1", full->port()}, {"127.0.0.1", silent.port()}});
  master.setList("mohaab", {{"127.0.0.1", open->port()}, {"127.0.0.1", full->port()}});
  const std::string openAddress = "127.0.0.1:" + std::to_string(open->port() - 97);

  HeadlessRun r =
      run({"--browse", "--master", master.address(), "--master", broken.address(), "--game",
           "mohaa", "--game", "mohaab", "--timeout", "300", "--parallel", "--save", "Found"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "FULL\tobj/obj_team2\t127.0.0.1:12203\tSpearhead\n"
            "no response\t \t127.0.0.1:" +
                std::to_string(silent.port() - 97) +
                "\t \n"
                "0/8\tdm/mohdm6\t" +
                openAddress +
                "\tMedal of Honor\n"
                "buddy\tsniper\t127.0.0.1:12203\n"
                "3 servers found, 2 answered\n");
  EXPECT_NE(r.err.find("master " + broken.address() + " (mohaa): a list that does not end"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(dir.read("Serverlists/Found"), tarvix::test::crlf(std::vector<std::string>{
                                               "Full\\x01", "127.0.0.1", "12203", "Open",
                                               "127.0.0.1", std::to_string(open->port() - 97)}));

  // Addresses only, from the masters tarvix.ini names: nobody is asked.
  dir.writeLines("tarvix.ini", {"[discovery]", "masters=" + master.address(), "games=mohaab"});
  const std::size_t asked = open->receivedCount();
  r = run({"--browse", "--list-only"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "127.0.0.1:" + std::to_string(open->port()) +
                       "\n127.0.0.1:" + std::to_string(full->port()) + "\n");
  EXPECT_EQ(open->receivedCount(), asked);
}

TEST(Headless, BrowseWithoutAnySourceAndItsUsageErrors) {
  TempDataDir dir;
  FakeMaster refusing(MasterBehaviour::Echo);
  HeadlessRun r = run({"--browse", "--master", refusing.address(), "--save", "Kept"});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("refused"), std::string::npos) << r.err;
  // The master's Windows-1252 text reaches the terminal as UTF-8 (0x85 is an ellipsis).
  EXPECT_NE(r.err.find("site\xE2\x80\xA6"), std::string::npos) << r.err;
  EXPECT_FALSE(dir.exists("Serverlists/Kept"));

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--browse", "--game", "quake"},
                                             {"--browse", "--master", "host:0"},
                                             {"--browse", "--master", ""},
                                             {"--browse", "--list-only", "--save", "L"},
                                             {"--browse", "--save", "../L"},
                                             {"--browse", "--save", "  "},
                                             {"--browse", "--save", "--json"},
                                             {"--browse", "extra"},
                                             {"--scan", "--lan"},
                                             {"--query", "127.0.0.1:1", "--master", "h"}}) {
    std::string line;
    for (const std::string& a : args) line += a + " ";
    EXPECT_EQ(run(args).code, 2) << line;
  }
  EXPECT_NE(run({"--browse", "--save", "  "}).err.find("blank"), std::string::npos);
  EXPECT_FALSE(dir.exists("Serverlists/--json"));
}

// --save follows the window's rule: a list a refresh wrote is replaced, one of
// the player's never is (the servers go to the next free name), and nothing
// is written when no server answered.
TEST(Headless, BrowseSaveKeepsThePlayersLists) {
  auto open = gameSpyServer({{"hostname", "Open"}, {"hostport", "12203"}});
  FakeGameServer silent;
  const std::vector<MasterEntry> answering{{"127.0.0.1", open->port()}},
      silentOnly{{"127.0.0.1", silent.port()}}, none;
  const std::string mine = tarvix::test::crlf(std::vector<std::string>{"Mine", "10.0.0.2", "1"});
  const std::string found =
      tarvix::test::crlf(std::vector<std::string>{"Open", "127.0.0.1", "12203"});
  struct Case {
    std::string list;
    bool fetched;
    const std::vector<MasterEntry>* listed;
    int code;
    std::string written;  // empty: nothing written
    std::string said;
  };
  const Case cases[] = {
      {"Standard", false, &answering, 0, "Standard 2",
       "Standard is a list of your own: the servers were saved as Standard 2"},
      {"Internet", true, &answering, 0, "Internet", ""},
      {"Internet", true, &silentOnly, 3, "",
       "no server answered: the list Internet was not written"},
      {"Mine", false, &none, 3, "", "no server answered: the list Mine was not written"},
  };
  for (const Case& c : cases) {
    TempDataDir dir;
    dir.writeInstallation();
    dir.write("Serverlists/" + c.list, mine);
    if (c.fetched) dir.writeLines("tarvix.ini", {"[discovery]", "fetchedLists=" + c.list});
    FakeMaster master;
    master.setList("mohaa", *c.listed);
    const HeadlessRun r = run({"--browse", "--master", master.address(), "--game", "mohaa",
                               "--timeout", "300", "--save", c.list});
    EXPECT_EQ(r.code, c.code) << c.list << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(dir.read("Serverlists/" + c.list), c.written == c.list ? found : mine) << c.list;
    if (!c.written.empty()) {
      EXPECT_EQ(dir.read("Serverlists/" + c.written), found);
    }
  }
}

// Each headless pass goes into the history unless --no-history; --history
// prints what it holds of a server, and says when it holds nothing.
TEST(Headless, PassesGoIntoTheHistoryThatHistoryPrints) {
  TempDataDir dir;
  FakeGameServer server;
  server.setReply(makeStatusReply("\\mapname\\dm/mohdm6\\sv_maxclients\\8", {{5, "Sniper"}}));
  dir.writeInstallation({"Up", "127.0.0.1", server.portText()});
  dir.writeLines("Buddys.txt", {"sniper"});
  const std::string address = "127.0.0.1:" + server.portText();
  ASSERT_EQ(run({"--scan", "--timeout", "2000"}).code, 0);
  ASSERT_EQ(run({"--scan", "--timeout", "2000", "--no-history"}).code, 0);

  HeadlessRun r = run({"--history", address, "--days", "2"});
  EXPECT_EQ(r.code, 0) << r.err;
  const std::size_t sample = r.out.find("\tsample\t1\t1.0\t1\t8\tdm/mohdm6\n");
  ASSERT_NE(sample, std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\tsample\t", sample + 1), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("seen\tsniper\t"), std::string::npos) << r.out;
  EXPECT_EQ(run({"--history", "127.0.0.1:1"}).err, "no history yet for 127.0.0.1:1\n");
  EXPECT_EQ(run({"--history", address, "--days", "731"}).code, kUsageExit);
}
