#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "protocol/MasterClient.h"
#include "support/FakeMaster.h"

namespace tarvix {
namespace {

using test::FakeMaster;
using test::MasterBehaviour;

const std::vector<test::MasterEntry> kList{{"127.0.0.2", 12300}, {"127.0.0.1", 12301}};

MasterFetch fetch(FakeMaster& master, const std::string& game = "mohaa", int timeoutMs = 300,
                  MasterLimits limits = {}) {
  StopSignal stop;
  return fetchMasterList("127.0.0.1", master.port(), game, timeoutMs, stop, limits);
}

TEST(MasterClient, EachBehaviourEndsAsIt) {
  struct Case {
    MasterBehaviour behaviour;
    MasterFailure failure;
    const char* error;  // part of the error text
  };
  using F = MasterFailure;
  for (const Case& c : {
           Case{MasterBehaviour::Normal, F::None, ""},
           Case{MasterBehaviour::ChallengeWithoutFinal, F::None, ""},
           Case{MasterBehaviour::FinalApart, F::None, ""},
           Case{MasterBehaviour::NeverCloses, F::None, ""},
           Case{MasterBehaviour::ResetAfterList, F::None, ""},
           Case{MasterBehaviour::ListNotWholeEntries, F::NotAList, "not whole 6-byte entries"},
           Case{MasterBehaviour::NoFinal, F::NotAList, "does not end with \\final\\"},
           Case{MasterBehaviour::Garbage, F::NotAList, "does not end with \\final\\"},
           Case{MasterBehaviour::Echo, F::Refused, "refused: You failed to authenticate"},
           Case{MasterBehaviour::Fatal, F::Refused, "refused: Too many connections"},
           Case{MasterBehaviour::Silent, F::TimedOut, "no challenge within 300 ms"},
           Case{MasterBehaviour::CloseAfterChallenge, F::Closed, "closed the connection"},
           Case{MasterBehaviour::Trickle, F::CutOff, "bytes received): cut off"},
       }) {
    SCOPED_TRACE(static_cast<int>(c.behaviour));
    FakeMaster master(c.behaviour);
    master.setList("mohaa", kList);
    MasterFetch f = fetch(master);
    EXPECT_EQ(f.ok, c.failure == F::None) << f.error;
    EXPECT_EQ(f.failure, c.failure) << f.error;
    EXPECT_NE(f.error.find(c.error), std::string::npos) << f.error;
    if (f.ok) {
      ASSERT_EQ(f.servers.size(), 2u);
      EXPECT_EQ(dottedAddress(f.servers[0].ip), "127.0.0.2");
      EXPECT_EQ(f.servers[1].port, 12301);
      EXPECT_EQ(master.validated(), 1);
    }
  }
}

// An empty list right after a challenge that came without its \final\.
TEST(MasterClient, EmptyListAfterAChallengeWithoutFinal) {
  FakeMaster master(MasterBehaviour::ChallengeWithoutFinal);
  const MasterFetch f = fetch(master);
  EXPECT_TRUE(f.ok) << f.error;
  EXPECT_TRUE(f.servers.empty());
}

TEST(MasterClient, AnswersTheChallengeOfEachGame) {
  FakeMaster master;
  master.setList("mohaas", kList);
  master.setList("mohaab", {{"127.0.0.9", 1}});
  EXPECT_EQ(fetch(master, "mohaas").servers.size(), 2u);
  EXPECT_EQ(fetch(master, "mohaab").servers.size(), 1u);
  EXPECT_EQ(master.validated(), 2);
  ASSERT_EQ(master.received().size(), 2u);
  EXPECT_EQ(master.received()[0],
            "\\gamename\\mohaas\\gamever\\3.0\\location\\0\\validate\\JiJ4NLKM\\final\\"
            "\\queryid\\1.1\\list\\cmp\\gamename\\mohaas\\final\\");
  EXPECT_FALSE(fetch(master, "quake").ok);
  EXPECT_EQ(master.connections(), 2);
}

TEST(MasterClient, ListSizeIsCapped) {
  FakeMaster master;
  master.setList("mohaa", kList);
  EXPECT_TRUE(fetch(master, "mohaa", 300, MasterLimits{2}).ok);
  MasterFetch over = fetch(master, "mohaa", 300, MasterLimits{1});
  EXPECT_FALSE(over.ok);
  EXPECT_NE(over.error.find("longer than 1 servers"), std::string::npos) << over.error;

  FakeMaster endless(MasterBehaviour::Endless);
  MasterFetch flood = fetch(endless, "mohaa", 2000, MasterLimits{1000});
  EXPECT_FALSE(flood.ok);
  EXPECT_NE(flood.error.find("longer than"), std::string::npos) << flood.error;
}

TEST(MasterClient, StopEndsAWaitAtOnce) {
  FakeMaster master(MasterBehaviour::Silent);
  StopSignal stop;
  std::thread stopper([&] {
    stop.waitFor(50);
    stop.request();
  });
  const auto started = std::chrono::steady_clock::now();
  MasterFetch f = fetchMasterList("127.0.0.1", master.port(), "mohaa", 5000, stop);
  stopper.join();
  EXPECT_FALSE(f.ok);
  EXPECT_TRUE(f.stopped) << f.error;
  // The stop, not the step's time-out, ended the wait.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(4000));
}

TEST(MasterClient, NobodyListening) {
  std::uint16_t port;
  { port = FakeMaster().port(); }
  MasterFetch f;
  StopSignal stop;
  f = fetchMasterList("127.0.0.1", port, "mohaa", 300, stop);
  EXPECT_FALSE(f.ok);
  EXPECT_NE(f.error.find("connect"), std::string::npos) << f.error;
}

}  // namespace
}  // namespace tarvix
