// The history file on a real SQLite database in a temporary data folder:
// passes read back, samples folded into summaries as they age, what the
// tiers keep and drop, and a file that is locked, damaged, shared by two
// writers or whose writer is killed.
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "StoreFixture.h"
#include "store/History.h"
#include "store/HistoryRecorder.h"

using namespace tarvix;

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kNow = 20833 * kDay;  // a whole day: every span starts on it

ServerSample sample(const std::string& address, int players, const std::string& map = "dm/mohdm1") {
  return {address, "Server " + address, players, 16, map, "Spearhead", 40};
}

HistoryPass pass(std::int64_t time, std::vector<ServerSample> servers,
                 std::vector<Sighting> seen = {}) {
  return {time, std::move(servers), std::move(seen)};
}

using HistoryTest = StoreTest;

TEST_F(HistoryTest, APassIsReadBackAndTheFileIsPrivate) {
  {
    History h(kHistoryFile);
    h.record(pass(kNow - 60, {sample("127.0.0.1:12203", 3)}));
    h.record(pass(kNow, {sample("127.0.0.1:12203", 5, "obj/obj_team2"), sample("127.0.0.2:1", 0)},
                  {{"Hans", "127.0.0.1:12203"}}));
  }
  History h(kHistoryFile, {.readOnly = true});
  const std::vector<HistoryPoint> points = h.points("127.0.0.1:12203", kNow - kDay, kNow);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[1].time, kNow);
  EXPECT_EQ(points[1].high, 5);
  EXPECT_EQ(points[1].maxPlayers, 16);
  EXPECT_EQ(points[1].map, "obj/obj_team2");
  EXPECT_EQ(points[1].replyMs, 40);
  ASSERT_EQ(h.sightings("127.0.0.1:12203").size(), 1u);
  EXPECT_EQ(h.sightings("127.0.0.1:12203")[0].name, "Hans");
  const auto last = h.lastStates({"127.0.0.1:12203", "127.0.0.9:1"});
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last.at("127.0.0.1:12203").time, kNow);
  EXPECT_EQ(last.at("127.0.0.1:12203").sample.edition, "Spearhead");
  struct stat st {};
  ASSERT_EQ(::stat(kHistoryFile, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// Samples a day old fold into 10-minute summaries at whole spans; the span
// that reaches past the day stays raw until it is all older.
TEST_F(HistoryTest, SamplesFoldIntoSummariesAtWholeSpans) {
  History h(kHistoryFile);
  const std::int64_t cutoff = kNow - kDay;
  h.record(pass(cutoff - 601, {sample("127.0.0.1:1", 9)}));  // the span before: alone
  h.record(pass(cutoff - 600, {sample("127.0.0.1:1", 2)}));
  h.record(pass(cutoff - 1, {sample("127.0.0.1:1", 7)}));
  h.record(pass(cutoff, {sample("127.0.0.1:1", 4)}));
  h.record(pass(kNow, {sample("127.0.0.1:1", 1)}));
  struct Expected {
    std::int64_t time;
    int span, low, high, count;
    double mean;
  };
  const Expected expected[] = {{cutoff - 1200, 600, 9, 9, 1, 9},
                               {cutoff - 600, 600, 2, 7, 2, 4.5},
                               {cutoff, 0, 4, 4, 1, 4},
                               {kNow, 0, 1, 1, 1, 1}};
  const std::vector<HistoryPoint> points = h.points("127.0.0.1:1", 0, kNow);
  ASSERT_EQ(points.size(), std::size(expected));
  for (std::size_t i = 0; i < points.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(points[i].time, expected[i].time);
    EXPECT_EQ(points[i].span, expected[i].span);
    EXPECT_EQ(points[i].low, expected[i].low);
    EXPECT_EQ(points[i].high, expected[i].high);
    EXPECT_EQ(points[i].count, expected[i].count);
    EXPECT_DOUBLE_EQ(points[i].mean, expected[i].mean);
  }
}

// Each tier keeps its points for its time and hands them on whole; the last
// one drops them, and with them who was seen.
TEST_F(HistoryTest, EachTierKeepsItsTimeAndTheLastDropsWhatIsOlder) {
  History h(kHistoryFile);
  const std::int64_t longest = std::end(kHistoryTiers)[-1].keepFor;
  const std::int64_t start = kNow - longest - kDay;
  h.record(pass(start, {sample("127.0.0.1:1", 1)}, {{"Old", "127.0.0.1:1"}}));
  h.record(pass(start + kDay, {sample("127.0.0.1:1", 2)}, {{"Kept", "127.0.0.1:1"}}));
  for (const HistoryTier& tier : kHistoryTiers)
    h.record(pass(kNow - tier.keepFor + 1, {sample("127.0.0.1:1", 3)}));
  h.age(kNow);
  std::vector<int> spans;
  for (const HistoryPoint& p : h.points("127.0.0.1:1", 0, kNow)) spans.push_back(p.span);
  EXPECT_EQ(spans, (std::vector<int>{86400, 3600, 600, 0}));
  EXPECT_EQ(h.points("127.0.0.1:1", 0, kNow)[0].count, 2);
  ASSERT_EQ(h.sightings("127.0.0.1:1").size(), 1u);
  EXPECT_EQ(h.sightings("127.0.0.1:1")[0].name, "Kept");
}

// A file that cannot be used is reported once and stops nothing; the next
// pass tries it again.
TEST_F(HistoryTest, AnUnusableFileIsReportedOnceAndRecordingGoesOn) {
  struct Case {
    const char* what;
    std::function<void()> spoil, mend;
    const char* says;
  };
  sqlite3* holder = nullptr;
  const Case cases[] = {
      {"locked",
       [&] {
         History{kHistoryFile};
         sqlite3_open(kHistoryFile, &holder);
         sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
       },
       [&] { sqlite3_close_v2(std::exchange(holder, nullptr)); }, "locked"},
      {"damaged", [this] { put(kHistoryFile, std::string(4096, 'x')); },
       [] { std::filesystem::remove(kHistoryFile); }, "not a database"},
      {"a link", [] { std::filesystem::create_symlink("elsewhere", kHistoryFile); },
       [] { std::filesystem::remove(kHistoryFile); }, "refused"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.spoil();
    std::vector<std::string> said;
    {
      HistoryRecorder r(kHistoryFile, [&](const std::string& m) { said.push_back(m); },
                        {.busyTimeoutMs = 50});
      r.record(pass(kNow, {sample("127.0.0.1:1", 1)}));
      r.record(pass(kNow + 1, {sample("127.0.0.1:1", 2)}));
      r.flush();
      c.mend();
      r.record(pass(kNow + 2, {sample("127.0.0.1:1", 3)}));
    }
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find(c.says), std::string::npos) << said[0];
    const auto points = History(kHistoryFile).points("127.0.0.1:1", 0, kNow + 9);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].high, 3);
    std::filesystem::remove(kHistoryFile);
  }
}

TEST_F(HistoryTest, TwoWritersAtOnceLoseNoPass) {
  constexpr int kPasses = 30;
  auto writer = [](const std::string& address) {
    HistoryRecorder r(kHistoryFile, nullptr);
    for (int i = 0; i < kPasses; ++i) r.record(pass(kNow + i, {sample(address, i)}));
  };
  std::thread window(writer, "127.0.0.1:1");
  std::thread watch(writer, "127.0.0.2:2");
  window.join();
  watch.join();
  History h(kHistoryFile);
  EXPECT_EQ(h.points("127.0.0.1:1", 0, kNow + kPasses).size(), std::size_t{kPasses});
  EXPECT_EQ(h.points("127.0.0.2:2", 0, kNow + kPasses).size(), std::size_t{kPasses});
}

// A writer killed at a random moment leaves every pass whole or absent.
TEST_F(HistoryTest, AWriterKilledAnyTimeLeavesWholePasses) {
  constexpr int kServers = 50;
  std::mt19937 rng(
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int kill = 0; kill < 8; ++kill) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        History h(kHistoryFile);
        for (std::int64_t t = kNow + kill * 100000;; t += 125) {
          std::vector<ServerSample> servers;
          for (int s = 0; s < kServers; ++s)
            servers.push_back(sample("127.0.0.1:" + std::to_string(s), s));
          h.record(pass(t, servers));
        }
      } catch (...) {
        ::_exit(1);
      }
    }
    ::usleep(std::uniform_int_distribution<int>(20000, 120000)(rng));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    History h(kHistoryFile);
    const auto first = h.points("127.0.0.1:0", 0, kNow * 2);
    for (int s = 1; s < kServers; ++s)
      ASSERT_EQ(h.points("127.0.0.1:" + std::to_string(s), 0, kNow * 2).size(), first.size())
          << "kill " << kill << ", server " << s;
  }
}

}  // namespace
