#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "app/core/ServerDiscovery.h"
#include "app/core/ServerDiscoveryMasters.h"
#include "protocol/HostLookup.h"
#include "support/FakeGameServer.h"
#include "support/FakeGameSpy.h"
#include "support/FakeMaster.h"

namespace tarvix {
namespace {

using namespace test;

MasterAddress at(const FakeMaster& m) { return {"127.0.0.1", m.port()}; }

std::unique_ptr<FakeGameServer> gameSpyServer(const test::GameSpyPairs& pairs) {
  auto s = std::make_unique<FakeGameServer>();
  s->setResponder([parts = test::gameSpyParts(pairs, 2)](const test::FakeDatagram&) {
    return FakeAnswer::split({parts.rbegin(), parts.rend()});
  });
  return s;
}

TEST(ServerDiscovery, MergesMastersAndAsksEveryServer) {
  auto named = gameSpyServer({{"hostname", "Named"},
                              {"hostport", "12203"},
                              {"mapname", "dm/mohdm6"},
                              {"numplayers", "1"},
                              {"maxplayers", "8"},
                              {"player_0", "Al"},
                              {"frags_0", "5"},
                              {"deaths_0", "2"},
                              {"ping_0", "40"}});
  auto portless = gameSpyServer({{"hostname", "Portless"}});
  FakeGameServer silent;
  const std::uint16_t p1 = named->port(), p2 = portless->port(), p3 = silent.port();

  FakeMaster first, second, refusing(MasterBehaviour::Echo);
  first.setList("mohaa", {{"127.0.0.1", p1}, {"127.0.0.255", 12300}, {"127.0.0.1", p2}});
  first.setList("mohaas", {{"127.0.0.1", p2}, {"127.255.255.255", 12300}});
  second.setList("mohaa", {{"127.0.0.1", p3}, {"127.0.0.1", p1}, {"127.0.0.1", 0}});

  DiscoveryRequest request;
  request.masters = {at(first), at(refusing), at(second)};
  request.timeoutMs = 300;
  request.parallel = 2;
  StopSignal stop;
  std::vector<std::string> progress;
  std::vector<std::uint16_t> reported;
  DiscoveryResult r = discoverServers(
      request, stop, [&](const std::string& t) { progress.push_back(t); },
      [&](const FoundServer& f) { reported.push_back(f.queryPort); });

  EXPECT_EQ(r.sourcesAnswered, 2);
  std::vector<std::uint16_t> each{p1, p2, p3};
  std::sort(reported.begin(), reported.end());
  std::sort(each.begin(), each.end());
  EXPECT_EQ(reported, each);         // each once, answered or not
  ASSERT_EQ(r.failures.size(), 2u);  // the refusing master, once per game
  EXPECT_EQ(r.failures[0].problem, SourceProblem::Refused);
  ASSERT_EQ(r.messages.size(), 2u);
  EXPECT_NE(r.messages[0].find("master 127.0.0.1:" + std::to_string(refusing.port()) +
                               " (mohaa): refused"),
            std::string::npos)
      << r.messages[0];
  ASSERT_EQ(r.servers.size(), 3u);
  EXPECT_EQ(r.servers[0].queryPort, p1);
  EXPECT_EQ(r.servers[1].queryPort, p2);
  EXPECT_EQ(r.servers[2].queryPort, p3);

  const FoundServer& n = r.servers[0];
  EXPECT_TRUE(n.answered);
  EXPECT_EQ(n.ip, "127.0.0.1");
  EXPECT_EQ(n.hostName, "Named");
  EXPECT_EQ(n.gamePort, 12203);
  EXPECT_EQ(n.numPlayers, 1);
  EXPECT_EQ(n.maxPlayers, 8);
  ASSERT_EQ(n.players.size(), 1u);
  EXPECT_EQ(n.players[0].frags, 5);
  EXPECT_GE(n.pingMs, 0);
  EXPECT_TRUE(r.servers[1].answered);
  EXPECT_EQ(r.servers[1].gamePort, p2 - 97);
  EXPECT_FALSE(r.servers[2].answered);
  EXPECT_EQ(r.servers[2].pingMs, -1);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), "3 of 3 servers asked");

  // Addresses only: nobody is asked.
  request.queryServers = false;
  const std::size_t asked = named->receivedCount();
  r = discoverServers(request, stop);
  EXPECT_EQ(r.servers.size(), 3u);
  EXPECT_FALSE(r.servers[0].answered);
  EXPECT_EQ(named->receivedCount(), asked);
}

TEST(ServerDiscovery, LanAndNoSource) {
  auto lanServer = gameSpyServer({{"hostname", "Lan"}, {"hostport", "12203"}});
  DiscoveryRequest request;
  request.masters.clear();
  request.lan = true;
  request.lanAddress = "127.0.0.1";
  request.lanFirstPort = request.lanLastPort = lanServer->port();
  request.timeoutMs = 200;
  request.masterTimeoutMs = 200;
  StopSignal stop;
  DiscoveryResult r = discoverServers(request, stop);
  EXPECT_EQ(r.sourcesAnswered, 1);
  ASSERT_EQ(r.servers.size(), 1u);
  EXPECT_TRUE(r.servers[0].answered);
  EXPECT_EQ(r.servers[0].hostName, "Lan");
  EXPECT_EQ(lanServer->receivedCount(), 1u);  // not asked a second time

  // Listed by a master as well: still one server.
  FakeMaster listing;
  listing.setList("mohaa", {{"127.0.0.1", lanServer->port()}});
  request.masters = {at(listing)};
  request.games = {"mohaa"};
  r = discoverServers(request, stop);
  EXPECT_EQ(r.sourcesAnswered, 2);
  ASSERT_EQ(r.servers.size(), 1u);
  EXPECT_TRUE(r.servers[0].answered);

  FakeMaster silent(MasterBehaviour::Silent);
  FakeGameServer quiet;
  request.masters = {at(silent)};
  request.games = {"mohaa"};
  request.lanFirstPort = request.lanLastPort = quiet.port();
  r = discoverServers(request, stop);
  EXPECT_EQ(r.sourcesAnswered, 0);
  EXPECT_TRUE(r.servers.empty());
  EXPECT_EQ(r.messages.size(), 2u);
}

TEST(ServerDiscovery, StopReturnsAtOnce) {
  FakeMaster silent(MasterBehaviour::Silent);
  DiscoveryRequest request;
  request.masters = {at(silent)};
  request.timeoutMs = 5000;
  StopSignal stop;
  stop.request();
  DiscoveryResult r = discoverServers(request, stop);
  EXPECT_EQ(r.sourcesAnswered, 0);
  EXPECT_TRUE(r.messages.empty());
}

// A master that never answers holds back no other master's servers: the
// first server reported stops the discovery while the silent master still
// waits for its challenge, so it reports no time-out.
TEST(ServerDiscovery, ServersAreAskedAsEachListComesIn) {
  auto server = gameSpyServer({{"hostname", "Early"}});
  FakeMaster silent(MasterBehaviour::Silent), listing;
  listing.setList("mohaa", {{"127.0.0.1", server->port()}});
  DiscoveryRequest request;
  request.masters = {at(silent), at(listing)};
  request.games = {"mohaa"};
  request.masterTimeoutMs = 20000;
  StopSignal stop;
  int reported = 0;
  const DiscoveryResult r = discoverServers(request, stop, {}, [&](const FoundServer& f) {
    reported += f.answered;
    stop.request();
  });
  EXPECT_EQ(reported, 1);
  EXPECT_TRUE(r.failures.empty()) << r.failures.front().line();
}

// Each master and game once, at most kMaxMasters masters, and no more
// exchanges at once than the pool has threads.
TEST(ServerDiscovery, MasterWorkIsBounded) {
  setBlockingLookup([](const std::string&, in_addr& a, std::string&) {
    a.s_addr = htonl(INADDR_LOOPBACK);
    return true;
  });
  FakeMaster silent(MasterBehaviour::Silent);
  DiscoveryRequest request;
  for (int i = 0; i < 40; ++i) request.masters.push_back({"m" + std::to_string(i), silent.port()});
  request.masters.push_back({"M1", silent.port()});
  request.games = {"mohaa", "mohaa"};
  request.masterTimeoutMs = 300;
  StopSignal stop;
  const DiscoveryResult r = discoverServers(request, stop);
  setBlockingLookup({});
  // The fake accepts on a thread of its own: give it a moment to count.
  for (int i = 0; i < 200 && silent.connections() < static_cast<int>(kMaxMasters); ++i)
    stop.waitFor(10);
  EXPECT_EQ(silent.connections(), static_cast<int>(kMaxMasters));
  // Two rounds of kMasterWorkers, not all at once; the fake may notice a
  // round's closes a moment after the next round connects.
  EXPECT_LT(silent.peakConnections(), static_cast<int>(kMaxMasters));
  ASSERT_FALSE(r.messages.empty());
  EXPECT_EQ(r.messages[0], "masters: 40 masters given; only the first 16 are asked");
}

// Without a thread to be had (a process limit of 1, set in a child process
// only), discovery does its work on the calling thread and says so.
TEST(ServerDiscovery, GoesOnWithoutThreads) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the thread checker cannot start threads in a child of a threaded process";
#endif
  auto server = gameSpyServer({{"hostname", "Alone"}});
  FakeMaster master;
  master.setList("mohaa", {{"127.0.0.1", server->port()}});
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit one{1, 1};
    if (::setrlimit(RLIMIT_NPROC, &one) != 0) ::_exit(10);
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(11);
    DiscoveryRequest request;
    request.masters = {at(master)};
    request.games = {"mohaa"};
    request.lan = true;
    request.lanAddress = "127.0.0.1";
    request.lanFirstPort = request.lanLastPort = server->port();
    StopSignal stop;
    const DiscoveryResult r = discoverServers(request, stop);
    const bool said = !r.failures.empty() && r.failures[0].problem == SourceProblem::NoResources;
    ::_exit(r.servers.size() == 1 && r.servers[0].answered && r.sourcesAnswered == 2 && said ? 0
                                                                                             : 12);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// What is said when nothing could be asked, or no master reached.
TEST(ServerDiscovery, Summaries) {
  std::uint16_t closedPort;
  { closedPort = FakeMaster().port(); }
  FakeMaster silent(MasterBehaviour::Silent);
  struct Case {
    std::vector<MasterAddress> masters;
    std::vector<std::string> games;
    const char* summary;
  };
  for (const Case& c : {
           Case{{}, {"mohaa"}, "no master server to ask"},
           Case{{at(silent)}, {}, "no master server to ask"},
           Case{{at(silent)}, {"quake"}, "no master server to ask"},
           Case{{{"127.0.0.1", closedPort}}, {"mohaa", "mohaas"}, "no master could be reached"},
           Case{{{"127.0.0.1", closedPort}, at(silent)}, {"mohaa"}, ""},
       }) {
    DiscoveryRequest request;
    request.masters = c.masters;
    request.games = c.games;
    request.masterTimeoutMs = 100;
    StopSignal stop;
    const DiscoveryResult r = discoverServers(request, stop);
    SCOPED_TRACE(r.summary);
    EXPECT_EQ(r.summary.rfind(c.summary, 0), 0u);
    EXPECT_EQ(r.summary.empty(), *c.summary == 0);
    if (!r.summary.empty()) {
      EXPECT_EQ(r.messages.front(), r.summary);
    }
  }
}

TEST(ServerDiscovery, ListEntriesAreUniqueLines) {
  DiscoveryResult r;
  auto found = [&](std::string name, std::uint16_t port, bool answered = true) {
    FoundServer f;
    f.ip = "192.0.2.1";
    f.gamePort = port;
    f.hostName = std::move(name);
    f.answered = answered;
    r.servers.push_back(f);
  };
  found("Same", 1);
  found("Same", 2);
  found("Line\r\nBreak", 3);
  found("", 4);
  found("12203", 5);
  found("Silent", 12203, false);
  found("192.0.2.1", 12203);
  const std::vector<ServerEntry> e = listEntriesFor(r);
  std::vector<std::string> names;
  for (const ServerEntry& x : e) names.push_back(x.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Same", "Same (2)", "Line\\x0D\\x0ABreak",
                                             "192.0.2.1:4", "12203 (2)", "192.0.2.1 (2)"}));
  EXPECT_EQ(e[1].ip, "192.0.2.1");
  EXPECT_EQ(e[1].port, "2");
}

// A range from tarvix.ini that no search could use keeps the default range.
TEST(ServerDiscovery, LanPortsFromSettings) {
  const DiscoveryRequest defaults;
  struct Case {
    int first, last;
    bool taken;
  };
  for (const Case& c : {Case{7, 7, true}, Case{1, 65535, true}, Case{20, 10, false},
                        Case{0, 10, false}, Case{10, 65536, false}}) {
    DiscoveryRequest r;
    EXPECT_EQ(setLanPorts(r, c.first, c.last), c.taken);
    EXPECT_EQ(r.lanFirstPort, c.taken ? c.first : defaults.lanFirstPort);
    EXPECT_EQ(r.lanLastPort, c.taken ? c.last : defaults.lanLastPort);
  }
}

TEST(ServerDiscovery, MasterAddresses) {
  MasterAddress m;
  EXPECT_TRUE(parseMasterAddress("master.example:1", m));
  EXPECT_EQ(m.host, "master.example");
  EXPECT_EQ(m.port, 1);
  EXPECT_TRUE(parseMasterAddress("10.0.0.1", m));
  EXPECT_EQ(m.port, 28900);
  EXPECT_TRUE(parseMasterAddress("h:65535", m));
  for (const char* bad : {"", ":28900", "h:0", "h:65536", "h:", "h:x", "a b:1"})
    EXPECT_FALSE(parseMasterAddress(bad, m)) << bad;
  EXPECT_FALSE(defaultMasters().empty());
}

}  // namespace
}  // namespace tarvix
