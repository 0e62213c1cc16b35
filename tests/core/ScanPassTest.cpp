// The scan pass run headless against fake game servers on loopback.
#include <dirent.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/core/BuddyAlerts.h"
#include "app/core/Headless.h"
#include "app/core/HeadlessScan.h"
#include "app/core/ScanPass.h"
#include "base/ConsoleLogs.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "support/FakeGameServer.h"
#include "support/HangingLookup.h"
#include "support/TempDataDir.h"

namespace tarvix {
namespace {

using namespace test;

constexpr const char* kList = "Serverlists\\Standard";
constexpr int kSilentMs = 300;

std::string info(const std::string& map, const std::string& maxClients,
                 const std::string& extra = "") {
  return "\\sv_hostname\\Some Host\\mapname\\" + map + "\\sv_maxclients\\" + maxClients + extra;
}

// Entries of a folder of /proc/self: open descriptors, threads.
int entriesIn(const char* folder) {
  int n = 0;
  if (DIR* d = opendir(folder)) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

// Entries of the folder once they are at most `atMost`, or after 5 s.
int settledCount(const char* folder, int atMost) {
  for (int i = 0; i < 500 && entriesIn(folder) > atMost; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return entriesIn(folder);
}

// Everything a finished pass leaves in the view, and the internal report.
std::string describe(const HeadlessScanView& v) {
  std::ostringstream out;
  for (const auto& r : v.rows())
    out << "row " << r.caption << '|' << r.map << '|' << r.host << '|' << r.game << '|' << r.icon
        << '\n';
  for (const auto& b : v.buddies()) out << "buddy " << b.caption << '|' << b.server << '\n';
  for (const auto& s : v.statusHistory()) out << "status " << s << '\n';
  out << "caption " << v.buddyCaption() << "\nprogress " << v.progress() << ' '
      << v.progressVisible() << "\nvisible " << v.visibleRow() << "\nchanges " << v.changes()
      << "\nfinished " << v.finished() << "\nlog " << consoleLogs().text(LogKind::BadLog);
  return out.str();
}

// Caption, map, host, game and icon of each row, so one comparison shows
// every difference in a table.
using Cells = std::tuple<std::string, std::string, std::string, std::string, int>;
std::vector<Cells> cells(const std::vector<HeadlessRow>& rows) {
  std::vector<Cells> out;
  for (const auto& r : rows) out.emplace_back(r.caption, r.map, r.host, r.game, r.icon);
  return out;
}

// Caption and server of each buddy hit.
using Hits = std::vector<std::pair<std::string, std::string>>;
Hits hits(const std::vector<HeadlessBuddy>& buddies) {
  Hits out;
  for (const auto& b : buddies) out.emplace_back(b.caption, b.server);
  return out;
}

std::vector<std::pair<int, std::string>> players(const std::vector<std::string>& names) {
  std::vector<std::pair<int, std::string>> out;
  int ping = 30;
  for (const auto& n : names) out.emplace_back(ping++, n);
  return out;
}

// One data folder with a server list of (name, server) pairs.
class ScanPassTest : public ::testing::Test {
 protected:
  void list(const std::vector<std::pair<std::string, const FakeGameServer*>>& servers) {
    dir.writeInstallation(serverListLines(servers));
    names.clear();
    for (const auto& s : servers) names.push_back(s.first);
  }

  std::shared_ptr<HeadlessScanView> run(bool clantagsOn = false, int parallel = 0,
                                        int retries = 0) {
    auto view = std::make_shared<HeadlessScanView>(
        names, HeadlessScanSettings{kList, kSilentMs, clantagsOn});
    ScanPass scan(view, parallel, retries);
    scan.start();
    EXPECT_TRUE(scan.join());
    end = scan.end();
    return view;
  }

  TempDataDir dir;
  std::vector<std::string> names;
  ScanPass::End end = ScanPass::End::Running;
};

TEST_F(ScanPassTest, RowStatesStatusAndFinalSort) {
  FakeGameServer a, silent, full;
  a.setReply(makeStatusReply(info("obj/obj_team2", "16"), players({"One", "Two", "Three"})));
  full.setReply(makeStatusReply(info("dm/mohdm6", "2", "\\note\\Medal of Honor Spearhead"),
                                players({"A", "B"})));
  list({{"Alpha", &a}, {"Bravo", &silent}, {"Charlie", &full}});

  auto view = run();
  ASSERT_EQ(end, ScanPass::End::Completed);
  // Sorted by caption: digits before letters.
  EXPECT_EQ(cells(view->rows()),
            (std::vector<Cells>{{"3/16", "obj/obj_team2", "Alpha", "Medal of Honor", RowAnswered},
                                {"FULL", "dm/mohdm6", "Charlie", "Spearhead", RowFull},
                                {"no response", " ", "Bravo", " ", RowNoAnswer}}));

  EXPECT_EQ(view->statusText(), "3 servers in Serverlists\\Standard");
  auto history = view->statusHistory();
  ASSERT_GE(history.size(), 3u);
  EXPECT_EQ(history[0], "0 - 3 scanning...");
  EXPECT_EQ(history[1], "1 - 3 scanning...");
  EXPECT_EQ(history[2], "2 - 3 scanning...");
  EXPECT_EQ(view->progress(), 3);
  EXPECT_FALSE(view->progressVisible());
  EXPECT_TRUE(view->autoSort());
  EXPECT_TRUE(view->finished());
  // Each server got exactly one 16-byte request.
  EXPECT_EQ(a.receivedCount(), 1u);
  EXPECT_EQ(silent.receivedCount(), 1u);
  ASSERT_EQ(full.receivedCount(), 1u);
  EXPECT_EQ(full.received()[0].bytes.size(), 16u);
}

TEST_F(ScanPassTest, EmptyPlayerNamesDoNotCountAndZeroIsNotFull) {
  FakeGameServer s, zero;
  s.setReply(makeStatusReply(info("dm/mohdm1", "16"), players({"Sniper", ""})));
  zero.setReply(makeStatusReply(info("dm/mohdm2", "0"), {}));
  list({{"S", &s}, {"Z", &zero}});
  auto rows = run()->rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].caption, "1/16");
  // 0 players of 0: equal, so full.
  EXPECT_EQ(rows[1].caption, "FULL");
}

TEST_F(ScanPassTest, UnreadableRepliesSendShit) {
  FakeGameServer bad, marker;
  bad.setReply(makeStatusReply(info("dm/mohdm1", "sixteen"), players({"A"})));
  // The marker alone counts as an answer for the scan; no maximum is not a number.
  marker.setReply("\xFF\xFF\xFF\xFFjunk");
  list({{"Bad", &bad}, {"Marker", &marker}});
  auto rows = run()->rows();
  ASSERT_EQ(rows.size(), 2u);
  for (const auto& r : rows) {
    EXPECT_EQ(r.caption, "sends shit") << r.host;
    EXPECT_TRUE(r.unreadable);
    EXPECT_EQ(r.map, " ");
    EXPECT_EQ(r.game, " ");
    EXPECT_EQ(r.icon, RowNoAnswer);
  }
}

TEST_F(ScanPassTest, MissingNameListFileSendsShitForServersWithPlayers) {
  FakeGameServer withPlayers, empty;
  withPlayers.setReply(makeStatusReply(info("dm/mohdm1", "16"), players({"A"})));
  empty.setReply(makeStatusReply(info("dm/mohdm1", "16"), {}));
  list({{"P", &withPlayers}, {"E", &empty}});

  dir.write("Buddys.txt", "");
  std::remove("clantags.txt");  // read even while clan tags are off
  auto rows = run(false)->rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].caption, "0/16");  // no player line, no file read
  EXPECT_FALSE(rows[0].unreadable);
  EXPECT_EQ(rows[1].caption, "sends shit");
  EXPECT_TRUE(rows[1].unreadable);
  EXPECT_EQ(rows[1].host, "P");

  dir.write("clantags.txt", "");
  std::remove("Buddys.txt");
  rows = run(true)->rows();
  EXPECT_EQ(rows[1].caption, "sends shit");
}

TEST_F(ScanPassTest, BuddyAndClantagHits) {
  FakeGameServer one, two;
  one.setReply(makeStatusReply(info("dm/mohdm1", "16"),
                               players({"sniper", "sniper2", "[TAG]sniper", "Other"})));
  two.setReply(makeStatusReply(info("dm/mohdm1", "16"), players({"SNIPER", "Sniper[Tag]"})));
  list({{"One", &one}, {"Two", &two}});
  dir.writeLines("Buddys.txt", {"SniPer", "nobody"});
  dir.writeLines("clantags.txt", {"", "[tag]"});

  auto off = run(false);
  // The caption is the buddy entry as written; equal captions keep scan order.
  EXPECT_EQ(hits(off->buddies()), (Hits{{"SniPer", "One"}, {"SniPer", "Two"}}));
  EXPECT_EQ(off->buddyCaption(), "2 Buddies online");

  auto on = run(true);
  // Clan-tag hits carry the player's name as the server sent it.
  EXPECT_EQ(
      hits(on->buddies()),
      (Hits{{"[TAG]sniper", "One"}, {"SniPer", "One"}, {"SniPer", "Two"}, {"Sniper[Tag]", "Two"}}));
  EXPECT_EQ(on->buddyCaption(), "4 Buddies online");
}

TEST(BuddyHitsTest, OnePlayerMatchingSeveralEntriesIsListedPerMatch) {
  auto hits = buddyHits({"Sniper", "sniper", "x"}, {"[tag]", "sni", ""}, true, "sniper");
  EXPECT_EQ(hits, (std::vector<std::string>{"Sniper", "sniper", "sniper"}));
  EXPECT_TRUE(buddyHits({"SniPer"}, {}, true, "[TAG]sniper").empty());
  EXPECT_TRUE(buddyHits({}, {"[tag]"}, false, "[TAG]sniper").empty());
}

TEST_F(ScanPassTest, ANameThatIsAlsoAPortLineIsReadAsThatEntrysAddress) {
  FakeGameServer alpha, bravo;
  alpha.setReply(makeStatusReply(info("dm/a", "16"), {}));
  bravo.setReply(makeStatusReply(info("dm/b", "16"), {}));
  // The second entry is named like the first one's port: that match takes
  // the next two lines, so its own name line is read as an address.
  list({{"Alpha", &alpha}, {alpha.portText(), &bravo}});
  consoleLogs().clear(LogKind::BadLog);
  std::map<std::string, std::string> caption;
  for (const auto& r : run()->rows()) caption[r.host] = r.caption;
  EXPECT_EQ(caption["Alpha"], "0/16");
  EXPECT_EQ(caption[alpha.portText()], "no response");
  EXPECT_EQ(bravo.receivedCount(), 0u);
  EXPECT_EQ(alpha.receivedCount(), 1u);
}

TEST_F(ScanPassTest, DuplicateNamesQueryTheLastAddress) {
  FakeGameServer first, last;
  first.setReply(makeStatusReply(info("dm/first", "16"), {}));
  last.setReply(makeStatusReply(info("dm/last", "16"), {}));
  list({{"Dup", &first}, {"Dup", &last}});
  auto rows = run()->rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].map, "dm/last");
  EXPECT_EQ(rows[1].map, "dm/last");
  EXPECT_EQ(first.receivedCount(), 0u);
  EXPECT_EQ(last.receivedCount(), 2u);
}

TEST_F(ScanPassTest, ListAndBuddiesEditedDuringThePassAreSeenByLaterRows) {
  FakeGameServer first, before, after, last;
  before.setReply(makeStatusReply(info("dm/before", "16"), {}));
  after.setReply(makeStatusReply(info("dm/after", "16"), {}));
  last.setReply(makeStatusReply(info("dm/last", "16"), players({"Bob"})));
  list({{"First", &first}, {"Second", &before}, {"Third", &last}});
  dir.writeLines("Buddys.txt", {"Alice"});
  // While the first row waits for its reply, another window moves "Second"
  // to another port and adds a buddy.
  first.setResponder([&](const test::FakeDatagram&) {
    dir.writeLines("Serverlists/Standard", {"First", FakeGameServer::host(), first.portText(),
                                            "Second", FakeGameServer::host(), after.portText(),
                                            "Third", FakeGameServer::host(), last.portText()});
    appendNameEntry("Buddys.txt", "bob");
    return test::FakeAnswer::reply(makeStatusReply(info("dm/first", "16"), players({"Bob"})));
  });
  auto view = run();
  auto rows = view->rows();
  ASSERT_EQ(rows.size(), 3u);
  // Sorted by caption: 0/16 comes first.
  EXPECT_EQ(rows[0].host, "Second");
  EXPECT_EQ(rows[0].map, "dm/after");
  EXPECT_EQ(before.receivedCount(), 0u);
  // The edit was made before the first server answered, so its players meet the new buddy too.
  EXPECT_EQ(hits(view->buddies()), (Hits{{"bob", "First"}, {"bob", "Third"}}));
}

TEST_F(ScanPassTest, HostNoLongerInTheListQueriesNothing) {
  FakeGameServer kept;
  kept.setReply(makeStatusReply(info("dm/kept", "16"), players({"A"})));
  list({{"Kept", &kept}});
  // The rows were built from an older list that also held "Gone".
  names = {"Gone", "Kept"};
  consoleLogs().clear(LogKind::BadLog);
  EXPECT_EQ(cells(run()->rows()),
            (std::vector<Cells>{{"1/16", "dm/kept", "Kept", "Medal of Honor", RowAnswered},
                                {"no response", " ", "Gone", " ", RowNoAnswer}}));
  EXPECT_EQ(kept.receivedCount(), 1u);
  EXPECT_EQ(consoleLogs().text(LogKind::BadLog), "");
}

TEST_F(ScanPassTest, SocketFailureIsNoResponseAndLogged) {
  list({{"Broken", nullptr}});
  dir.writeLines("Serverlists/Standard", {"Broken", "127.0.0.1", "notaport"});
  consoleLogs().clear(LogKind::BadLog);
  auto rows = run()->rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].caption, "no response");
  EXPECT_EQ(consoleLogs().text(LogKind::BadLog), "!! Scanthread Socket does not answer\r\n");
}

TEST_F(ScanPassTest, EmptyListEndsAtOnce) {
  list({});
  auto view = run();
  EXPECT_EQ(end, ScanPass::End::Completed);
  EXPECT_TRUE(view->finished());
  EXPECT_EQ(view->statusText(), "0 servers in Serverlists\\Standard");
  EXPECT_EQ(view->statusHistory().size(), 2u);
}

TEST_F(ScanPassTest, UnreadableListEndsThePassWithoutTheStop) {
  FakeGameServer s;
  list({{"S", &s}});
  std::remove("Serverlists/Standard");
  auto view = run();
  EXPECT_EQ(end, ScanPass::End::ListUnreadable);
  EXPECT_FALSE(view->finished());
  EXPECT_EQ(view->rows()[0].caption, "not scanned");
  EXPECT_EQ(s.receivedCount(), 0u);
}

TEST_F(ScanPassTest, StopDuringASilentQueryReturnsAtOnceAndChangesNothingMore) {
  FakeGameServer silent, never;
  list({{"Silent", &silent}, {"Never", &never}});
  auto view = std::make_shared<HeadlessScanView>(names, HeadlessScanSettings{kList, 60000, false});
  ScanPass scan(view);
  scan.start();
  ASSERT_TRUE(silent.waitForCount(1, 10000));
  const int changesAtStop = view->changes();
  const auto before = std::chrono::steady_clock::now();
  scan.stop();
  ASSERT_TRUE(scan.join());
  const auto waited = std::chrono::steady_clock::now() - before;
  // Far less than the query's 60 s time-out: the wait woke on the stop.
  EXPECT_LT(waited, std::chrono::seconds(20));
  EXPECT_EQ(scan.end(), ScanPass::End::Stopped);
  EXPECT_EQ(view->changes(), changesAtStop);
  EXPECT_FALSE(view->finished());
  auto rows = view->rows();
  EXPECT_EQ(rows[0].caption, "not scanned");
  EXPECT_EQ(rows[1].caption, "not scanned");
  EXPECT_EQ(never.receivedCount(), 0u);
}

TEST_F(ScanPassTest, StopDuringAHostLookUpThatNeverAnswersReturnsAtOnce) {
  for (const int parallel : {0, 4}) {
    SCOPED_TRACE(parallel);
    test::HangingLookup lookup;
    dir.writeInstallation({"Named", "hangs.example", "12203", "Next", "127.0.0.1", "1"});
    names = {"Named", "Next"};
    auto view =
        std::make_shared<HeadlessScanView>(names, HeadlessScanSettings{kList, 60000, false});
    ScanPass scan(view, parallel);
    scan.start();
    ASSERT_TRUE(lookup.waitForLookups(1, 10000));
    const auto before = std::chrono::steady_clock::now();
    scan.stop();
    ASSERT_TRUE(scan.join());
    // The look-up never returns; "stop scan" does not wait for it.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_EQ(scan.end(), ScanPass::End::Stopped);
    EXPECT_FALSE(view->finished());
  }
}

TEST_F(ScanPassTest, ParallelPassShowsWhatTheSequentialPassShows) {
  FakeGameServer alpha, silent, full, junk, marker, big, zero, dup, garbage;
  // Replies arrive out of row order: the first row answers last.
  alpha.setResponder([](const test::FakeDatagram&) {
    return test::FakeAnswer::reply(
        makeStatusReply(info("obj/obj_team2", "16"), players({"Sniper", "[TAG]x", ""})), 150);
  });
  full.setReply(makeStatusReply(info("dm/mohdm6", "2", "\\note\\Medal of Honor Spearhead"),
                                players({"A", "sniper"})));
  junk.setReply(makeStatusReply(info("dm/mohdm1", "sixteen"), players({"SNIPER"})));
  marker.setReply("\xFF\xFF\xFF\xFFjunk");
  big.setResponder([](const test::FakeDatagram&) { return test::FakeAnswer::oversized(9000); });
  zero.setResponder([](const test::FakeDatagram&) {
    return test::FakeAnswer::reply(makeStatusReply(info("dm/mohdm2", "16"), {}), 60);
  });
  dup.setReply(makeStatusReply(info("dm/dup", "8"), players({"[tag]Sniper"})));
  garbage.setReply("no marker here");
  list({{"Alpha", &alpha},
        {"Silent", &silent},
        {"Full", &full},
        {"Junk", &junk},
        {"Marker", &marker},
        {"Big", &big},
        {"Zero", &zero},
        {"Dup", &dup},
        {"Dup", &dup},
        {"Garbage", &garbage}});
  dir.writeLines("Buddys.txt", {"sniper", "Nobody"});
  dir.writeLines("clantags.txt", {"[tag]"});
  // Rows built from an older list: one no longer in it, one with a bad port.
  names.insert(names.begin() + 3, "Gone");
  names.push_back("Broken");
  appendLines(kList, {"Broken", "127.0.0.1", "notaport"});

  consoleLogs().clear(LogKind::BadLog);
  const std::string sequential = describe(*run(true));
  ASSERT_EQ(end, ScanPass::End::Completed);
  for (int inFlight : {1, 3, 1000}) {
    consoleLogs().clear(LogKind::BadLog);
    EXPECT_EQ(describe(*run(true, inFlight)), sequential) << inFlight << " in flight";
    EXPECT_EQ(end, ScanPass::End::Completed);
  }
  EXPECT_NE(sequential.find("row sends shit| |Junk| |3"), std::string::npos) << sequential;
  EXPECT_NE(
      sequential.find(
          "log !! Scanthread Socket does not answer\r\n!! Scanthread Socket does not answer\r\n"),
      std::string::npos);
  // Every pass asked the silent server once.
  EXPECT_EQ(silent.receivedCount(), 1u + 3);
}

TEST_F(ScanPassTest, BothPassesAskOnceUnlessRetriesAreAskedFor) {
  // Declared before the servers, whose threads use them until the servers end.
  std::atomic<int> askedThisPass{0};
  std::set<std::uint16_t> seen;
  FakeGameServer lossy, slow;
  // Drops the first request from each new port.
  lossy.setResponder([&](const test::FakeDatagram& d) {
    ++askedThisPass;
    if (seen.insert(d.fromPort).second) return test::FakeAnswer::silence();
    return test::FakeAnswer::reply(makeStatusReply(info("dm/mohdm1", "16"), players({"A"})));
  });
  // Answers every request between one and two time-outs late.
  slow.setResponder([](const test::FakeDatagram&) {
    return test::FakeAnswer::reply(makeStatusReply(info("dm/slow", "8"), {}), kSilentMs * 3 / 2);
  });
  list({{"Lossy", &lossy}, {"Slow", &slow}});
  for (const int retries : {0, 1}) {
    for (const int parallel : {0, 10}) {
      SCOPED_TRACE(testing::Message() << retries << " retries, " << parallel << " in flight");
      askedThisPass = 0;
      std::map<std::string, std::string> caption;
      for (const auto& r : run(false, parallel, retries)->rows()) caption[r.host] = r.caption;
      // A retry goes out from the first request's socket, where the late
      // answer to the first request still counts.
      EXPECT_EQ(caption["Lossy"], retries ? "1/16" : "no response");
      EXPECT_EQ(caption["Slow"], retries ? "0/8" : "no response");
      EXPECT_EQ(askedThisPass, 1 + retries);
    }
  }
}

TEST_F(ScanPassTest, EntriesSharingAnAddressShareOneQueryInAParallelPass) {
  FakeGameServer silent;
  std::vector<std::pair<std::string, const FakeGameServer*>> entries;
  for (int i = 0; i < 20; ++i) entries.emplace_back("Same " + std::to_string(i), &silent);
  list(entries);
  const auto rows = run(false, 1000, 1)->rows();
  ASSERT_EQ(rows.size(), 20u);
  for (const auto& r : rows) EXPECT_EQ(r.caption, "no response") << r.host;
  // One request and its retry for all of them.
  EXPECT_EQ(silent.receivedCount(), 2u);
}

TEST_F(ScanPassTest, ParallelPassWithAnUnreadableListEndsWhereTheSequentialOneDoes) {
  FakeGameServer a, b;
  a.setResponder([&](const test::FakeDatagram&) {
    std::remove("Serverlists/Standard");
    return test::FakeAnswer::reply(makeStatusReply(info("dm/a", "16"), {}));
  });
  b.setReply(makeStatusReply(info("dm/b", "16"), {}));
  // Only one query in flight, so the second row is looked up after the first answered.
  list({{"A", &a}, {"B", &b}});
  auto view = run(false, 1);
  EXPECT_EQ(end, ScanPass::End::ListUnreadable);
  EXPECT_EQ(view->rows()[0].caption, "0/16");
  EXPECT_EQ(view->rows()[1].caption, "not scanned");
  EXPECT_EQ(view->statusHistory().back(), "1 - 2 scanning...");
  EXPECT_EQ(b.receivedCount(), 0u);
}

TEST_F(ScanPassTest, StoppingAParallelPassLeavesNoThreadAndNoSocket) {
  FakeGameServer first;
  first.setReply(makeStatusReply(info("dm/first", "16"), {}));
  std::vector<std::unique_ptr<FakeGameServer>> silent;
  std::vector<std::pair<std::string, const FakeGameServer*>> servers{{"First", &first}};
  for (int i = 0; i < 20; ++i) {
    silent.push_back(std::make_unique<FakeGameServer>());
    servers.emplace_back("Silent " + std::to_string(i), silent.back().get());
  }
  list(servers);
  auto view = std::make_shared<HeadlessScanView>(names, HeadlessScanSettings{kList, 60000, false});
  {
    ScanPass scan(view, 8);
    const int descriptors = entriesIn("/proc/self/fd");
    const int threads = entriesIn("/proc/self/task");
    scan.start();
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(silent[i]->waitForCount(1, 10000));
    // The first row is written; the silent second row holds back the rest.
    for (int i = 0; i < 1000 && view->rows()[0].caption != "0/16"; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(view->rows()[0].caption, "0/16");
    const int changesAtStop = view->changes();
    scan.stop();
    ASSERT_TRUE(scan.join());
    EXPECT_EQ(scan.end(), ScanPass::End::Stopped);
    EXPECT_EQ(view->changes(), changesAtStop);
    // Threads of earlier tests may still be winding down: wait, bounded,
    // for the counts to fall back; a thread or socket the pass kept holds
    // them above.
    EXPECT_LE(settledCount("/proc/self/fd", descriptors), descriptors);
    EXPECT_LE(settledCount("/proc/self/task", threads), threads);
  }
  EXPECT_FALSE(view->finished());
  EXPECT_EQ(view->rows()[1].caption, "not scanned");
  // Never more than eight in flight: the rows after them were not asked.
  for (int i = 8; i < 20; ++i) EXPECT_EQ(silent[i]->receivedCount(), 0u) << i;
}

TEST_F(ScanPassTest, BuddyAlertsNameEachNewHitOnce) {
  FakeGameServer alpha, bravo;
  // Two players on one server match the same buddy.
  alpha.setReply(makeStatusReply(info("dm/a", "16"), players({"Sniper", "sniper"})));
  bravo.setReply(makeStatusReply(info("dm/b", "16"), players({"Medic"})));
  list({{"Alpha", &alpha}, {"Bravo", &bravo}});
  dir.writeLines("Buddys.txt", {"sniper", "medic"});
  const std::vector<HeadlessBuddy> first = run()->buddies();
  ASSERT_EQ(first.size(), 3u);
  // Two new hits in one pass: one line each, the repeated one once.
  EXPECT_EQ(buddyAlertText(newBuddyHits({}, first)), "medic is on Bravo\nsniper is on Alpha");
  // The next pass: only what the last one did not have.
  bravo.setReply(makeStatusReply(info("dm/b", "16"), players({"Medic", "SNIPER"})));
  const std::vector<HeadlessBuddy> second = run()->buddies();
  EXPECT_EQ(buddyAlertText(newBuddyHits(first, second)), "sniper is on Bravo");
  EXPECT_TRUE(newBuddyHits(second, second).empty());
}

TEST_F(ScanPassTest, HeadlessOutputInWindowOrder) {
  FakeGameServer a, b, silent;
  a.setReply(makeStatusReply(info("dm/mohdm1", "16"), players({"Zed", "sniper"})));
  b.setReply(makeStatusReply(info("obj/obj_team1", "8"), players({"SNIPER"})));
  list({{"Alpha", &a}, {"Quiet", &silent}, {"Bravo", &b}});
  dir.writeLines("Buddys.txt", {"Sniper"});

  std::ostringstream out, err;
  int rc = runHeadlessScan({kList, kSilentMs, false}, out, err);
  EXPECT_EQ(rc, 0) << err.str();
  EXPECT_EQ(out.str(),
            "1/8\tobj/obj_team1\tBravo\tMedal of Honor\n"
            "2/16\tdm/mohdm1\tAlpha\tMedal of Honor\n"
            "no response\t \tQuiet\t \n"
            "buddy\tSniper\tAlpha\n"
            "buddy\tSniper\tBravo\n"
            "3 servers in Serverlists\\Standard\n");
}

TEST_F(ScanPassTest, ScanSwitchTakesTheCurrentOrTheNamedList) {
  FakeGameServer current, other;
  current.setReply(makeStatusReply(info("dm/current", "16"), {}));
  other.setReply(makeStatusReply(info("dm/other", "16"), {}));
  list({{"Cur", &current}});
  dir.writeLines("Serverlists/Other", {"Oth", FakeGameServer::host(), other.portText()});

  std::ostringstream out, err;
  HeadlessRequest scanCurrent;
  scanCurrent.mode = HeadlessMode::Scan;
  ASSERT_EQ(runHeadless(scanCurrent, out, err), 0) << err.str();
  EXPECT_EQ(out.str(),
            "0/16\tdm/current\tCur\tMedal of Honor\n1 servers in Serverlists\\Standard\n");

  out.str("");
  HeadlessRequest scanOther = scanCurrent;
  scanOther.list = "Other";
  scanOther.timeoutMs = 200;
  ASSERT_EQ(runHeadless(scanOther, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "0/16\tdm/other\tOth\tMedal of Honor\n1 servers in Serverlists\\Other\n");

  // With queries in parallel the output is the same.
  for (int parallel : {kDefaultParallelQueries, 2, 7}) {
    out.str("");
    HeadlessRequest scanParallel = scanOther;
    scanParallel.parallel = parallel;
    ASSERT_EQ(runHeadless(scanParallel, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "0/16\tdm/other\tOth\tMedal of Honor\n1 servers in Serverlists\\Other\n");
  }

  out.str("");
  HeadlessRequest scanMissing = scanCurrent;
  scanMissing.list = "Missing";
  EXPECT_EQ(runHeadless(scanMissing, out, err), 1);
  EXPECT_EQ(out.str(), "");
}

// A request the command line would have refused names its problem alone:
// the usage text is the command line's, not a second copy here.
TEST(Headless, ARequestThatDoesNotHoldTogetherNamesItsProblemOnly) {
  HeadlessRequest noCommand;
  noCommand.mode = HeadlessMode::Rcon;
  noCommand.address = "127.0.0.1:12203";
  noCommand.password = "pw";
  HeadlessRequest noPort;
  noPort.mode = HeadlessMode::Query;
  noPort.address = "127.0.0.1";
  for (const auto& [request, problem] :
       {std::pair{noCommand, "--rcon needs HOST:PORT, PASSWORD and a COMMAND\n"},
        std::pair{noPort, "--query needs HOST:PORT\n"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(runHeadless(request, out, err), kUsageExit);
    EXPECT_EQ(err.str(), problem);
    EXPECT_EQ(out.str(), "");
  }
}

TEST_F(ScanPassTest, HeadlessWithoutTheListFile) {
  dir.writeInstallation({});
  std::remove("Serverlists/Standard");
  std::ostringstream out, err;
  EXPECT_EQ(runHeadlessScan({kList, kSilentMs, false}, out, err), 1);
  EXPECT_EQ(err.str(), "Please select a server list !\n");
  EXPECT_EQ(out.str(), "");
}

TEST_F(ScanPassTest, EachAnsweredRowCarriesItsReplyTime) {
  FakeGameServer slow, silent;
  slow.setResponder([](const test::FakeDatagram&) {
    return test::FakeAnswer::reply(makeStatusReply(info("dm/mohdm1", "16"), {}), 120);
  });
  list({{"Slow", &slow}, {"Silent", &silent}});
  for (int inFlight : {0, 3}) {
    auto rows = run(false, inFlight)->rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].host, "Slow");
    EXPECT_GE(rows[0].replyMs, 120) << inFlight << " in flight";
    EXPECT_EQ(rows[1].replyMs, -1) << inFlight << " in flight";
  }
}

}  // namespace
}  // namespace tarvix
