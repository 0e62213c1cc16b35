// The announcer: map cycle reading, and its pass run headless against a fake
// game server on loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "admin/core/Announcer.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"
#include "support/FakeGameServer.h"
#include "support/HeadlessWorkerViews.h"
#include "support/TempDataDir.h"

namespace tarvix {
namespace {

using namespace test;

constexpr const char* kPassword = "pw";
constexpr const char* kHeader = "mapcheck @ 01.06.2024 - 21:00:05\r\n";

std::string reply(const std::string& map, const std::string& rotation) {
  return makeStatusReply(
      "\\sv_hostname\\Host\\mapname\\" + map + "\\sv_maplist\\" + rotation + "\\sv_maxclients\\16",
      {{40, "Bob"}});
}

TEST(ReadMapCycle, NextMapFollowsTheCurrentOneAndWrapsAround) {
  const std::string three = "obj/obj_team1 obj/obj_team2 obj/obj_team3";
  struct Case {
    std::string current, rotation, first, next;
  } cases[] = {
      {"obj/obj_team2", three, "obj/obj_team1", "obj/obj_team3"},
      {"obj/obj_team3", three, "obj/obj_team1", "obj/obj_team1"},
      {"dm/mohdm6", three, "obj/obj_team1", "obj/obj_team1"},
      {"dm/mohdm6", "dm/mohdm1", "dm/mohdm1", "dm/mohdm1"},
      {"dm/mohdm1", "dm/mohdm1", "dm/mohdm1", "dm/mohdm1"},
      // Listed twice: the follower of its last occurrence that has one wins.
      {"a", "a b a c", "a", "c"},
      {"a", "a b a", "a", "b"},
      // A trailing blank takes nothing; two blanks give an empty name.
      {"c", "a b c ", "a", "a"},
      {"a", "a  b", "a", "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.current + " in [" + c.rotation + "]");
    const MapCycle m = readMapCycle(reply(c.current, c.rotation));
    EXPECT_EQ(m.currentMap, c.current);
    EXPECT_EQ(m.firstMap, c.first);
    EXPECT_EQ(m.nextMap, c.next);
  }
}

TEST(ReadMapCycle, ValuesEndAtBackslashOrEndOfInfoLine) {
  // A blank inside the mapname value is removed.
  EXPECT_EQ(readMapCycle(reply("obj/obj_ team2", "x")).currentMap, "obj/obj_team2");
  // Values that close the info line do not run on into the player lines.
  const MapCycle last = readMapCycle(makeStatusReply(
      "\\sv_hostname\\Host\\sv_maplist\\a b c\\mapname\\b", {{40, "Bob"}, {50, "x y"}}));
  EXPECT_EQ(last.currentMap, "b");
  EXPECT_EQ(last.nextMap, "c");
  const MapCycle rotationLast =
      readMapCycle(makeStatusReply("\\mapname\\c\\sv_maplist\\a b c", {{40, "Bob"}, {50, "x y"}}));
  EXPECT_EQ(rotationLast.nextMap, "a");
  // No keys: everything empty.
  const MapCycle none = readMapCycle(makeStatusReply("\\sv_hostname\\Host", {}));
  EXPECT_EQ(none.firstMap + none.currentMap + none.nextMap, "");
}

class AnnouncerPassTest : public ::testing::Test {
 protected:
  AnnouncerPassTest() {
    dir.writeInstallation();
    view->setPassword(kPassword);
  }

  AnnouncerSettings settings(const std::string& port) {
    AnnouncerSettings s;
    s.host = FakeGameServer::host();
    s.port = port;
    s.timing.scaled = [this](int ms) {
      return ms == kAnnouncerMessagePauseMs ? messagePauseMs : ms / 100;
    };
    s.timing.dateTime = [](std::chrono::system_clock::time_point) {
      return std::string("01.06.2024 - 21:00:05");
    };
    s.logs = &logs;
    return s;
  }

  Announcer::End run(const std::string& port) {
    Announcer worker(view, settings(port));
    worker.start();
    EXPECT_TRUE(worker.join());
    return worker.end();
  }

  // The datagrams the server received, once `expected` of them have arrived
  // (delivery to the fake server's thread lags the worker's send).
  std::vector<std::string> sent(std::size_t expected = 0) const {
    if (expected) server.waitForCount(expected, 5000);
    std::vector<std::string> out;
    for (const FakeDatagram& d : server.received()) out.push_back(d.bytes);
    return out;
  }

  static std::string say(const std::string& text) { return rconRequest(kPassword, "say " + text); }

  int messagePauseMs = 5;
  TempDataDir dir;
  ConsoleLogs logs;
  FakeGameServer server;
  std::shared_ptr<HeadlessAnnouncerView> view = std::make_shared<HeadlessAnnouncerView>();
};

TEST_F(AnnouncerPassTest, AnnouncesNextMapThenMessagesInFileOrder) {
  dir.writeLines("messages.txt", {"welcome", "", "no camping"});
  server.setReply(reply("obj/obj_team2", "obj/obj_team1 obj/obj_team2 obj/obj_team3"));

  EXPECT_EQ(run(server.portText()), Announcer::End::Completed);

  EXPECT_EQ(sent(5), (std::vector<std::string>{statusRequest(), say("next map is obj/obj_team3"),
                                               say("welcome"), say(""), say("no camping")}));
  EXPECT_EQ(logs.text(LogKind::MapLog), std::string(kHeader) +
                                            "Firstmap  : obj/obj_team1\r\n"
                                            "Currentmap: obj/obj_team2\r\n"
                                            "Next   map: obj/obj_team3\r\n"
                                            "//mapcheck end\r\n");
  EXPECT_EQ(view->statusTexts(),
            (std::vector<std::string>{"checking mapcycle...",
                                      "First map: obj/obj_team1 | Current map: obj/obj_team2 | "
                                      "Next map: obj/obj_team3"}));
  EXPECT_EQ(logs.text(LogKind::BadLog), "");
  EXPECT_EQ(view->finishCount(), 1);
}

TEST_F(AnnouncerPassTest, AServerMapNameCannotSplitTheAnnouncement) {
  std::remove("messages.txt");
  server.setReply(reply("a", "a evil;quit\t\"x\r"));

  EXPECT_EQ(run(server.portText()), Announcer::End::Completed);

  EXPECT_EQ(sent(2), (std::vector<std::string>{statusRequest(), say("next map is evilquitx")}));
  EXPECT_EQ(logs.text(LogKind::MapLog),
            std::string(kHeader) +
                "Firstmap  : a\r\nCurrentmap: a\r\n"
                "Next   map: evil;quit\\x09\"x\\x0D\r\n//mapcheck end\r\n");
}

// An error outside the announcing steps (here the view's last call) ends
// the pass as failed instead of escaping its thread and ending the program.
TEST_F(AnnouncerPassTest, AnErrorOutsideTheStepsEndsThePassAsFailed) {
  struct ThrowingView : HeadlessAnnouncerView {
    void finishPass() override { throw std::runtime_error("view gone"); }
  };
  std::remove("messages.txt");
  Announcer worker(std::make_shared<ThrowingView>(), settings(server.portText()));
  worker.start();
  EXPECT_TRUE(worker.join());
  EXPECT_EQ(worker.end(), Announcer::End::Failed);
}

TEST_F(AnnouncerPassTest, NoAnswerAndNoMessagesFileSendsNothingButTheQuery) {
  std::remove("messages.txt");
  // 90 s scaled to 900 ms; the server stays silent.

  EXPECT_EQ(run(server.portText()), Announcer::End::Completed);

  EXPECT_EQ(sent(1), std::vector<std::string>{statusRequest()});
  EXPECT_EQ(
      logs.text(LogKind::MapLog),
      std::string(kHeader) + "Firstmap  : \r\nCurrentmap: \r\nNext   map: \r\n//mapcheck end\r\n");
  EXPECT_EQ(view->statusTexts().back(), "First map:  | Current map:  | Next map: ");
  EXPECT_EQ(logs.text(LogKind::BadLog), "");
  EXPECT_EQ(view->finishCount(), 1);
}

TEST_F(AnnouncerPassTest, ReplyWithoutStatusStillSendsTheMessages) {
  dir.writeLines("messages.txt", {"hi"});
  server.setReply(test::makePrintReply("\nbad rcon\n"));

  EXPECT_EQ(run(server.portText()), Announcer::End::Completed);
  EXPECT_EQ(sent(2), (std::vector<std::string>{statusRequest(), say("hi")}));
}

TEST_F(AnnouncerPassTest, WithoutAPasswordTheMapsAreShownAndNothingIsAnnounced) {
  dir.writeLines("messages.txt", {"hi"});
  server.setReply(reply("obj/obj_team2", "obj/obj_team1 obj/obj_team2"));
  view->setPassword("");

  EXPECT_EQ(run(server.portText()), Announcer::End::Completed);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a late datagram would show
  EXPECT_EQ(sent(), std::vector<std::string>{statusRequest()});
  EXPECT_EQ(view->statusTexts().back(),
            "First map: obj/obj_team1 | Current map: obj/obj_team2 | Next map: obj/obj_team1");
  EXPECT_EQ(logs.text(LogKind::BadLog), "");
  EXPECT_EQ(view->finishCount(), 1);
}

// Only the server asked may answer the status query.
TEST_F(AnnouncerPassTest, AStatusReplyFromAnotherPortIsNoAnswer) {
  std::remove("messages.txt");
  test::FakeAnswer elsewhere =
      test::FakeAnswer::reply(reply("obj/obj_team2", "obj/obj_team1 obj/obj_team2"));
  elsewhere.fromOtherPort = true;
  server.queue(elsewhere);

  EXPECT_EQ(run(server.portText()), Announcer::End::Completed);
  EXPECT_EQ(view->statusTexts().back(), "First map:  | Current map:  | Next map: ");
  EXPECT_EQ(sent(1), std::vector<std::string>{statusRequest()});
}

TEST_F(AnnouncerPassTest, SocketFailureIsReportedAndThePassStillEnds) {
  dir.writeLines("messages.txt", {"hi"});

  EXPECT_EQ(run("notaport"), Announcer::End::Completed);

  EXPECT_EQ(logs.text(LogKind::BadLog), "Messagethread error showing messages\r\n");
  EXPECT_EQ(logs.text(LogKind::MapLog), kHeader);
  EXPECT_EQ(view->statusTexts(), std::vector<std::string>{"checking mapcycle..."});
  EXPECT_EQ(view->finishCount(), 1);
}

TEST_F(AnnouncerPassTest, StopDuringAMessagePauseSendsNothingMore) {
  dir.writeLines("messages.txt", {"one", "two"});
  server.setReply(reply("a", "a b"));
  messagePauseMs = 60000;

  auto worker = std::make_unique<Announcer>(view, settings(server.portText()));
  worker->start();
  // Query and announcement sent; the pass now pauses before "say one".
  ASSERT_TRUE(server.waitForCount(2, 10000));
  auto stopped = std::async(std::launch::async, [&] {
    worker->stop();
    return worker->join();
  });
  ASSERT_EQ(stopped.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  EXPECT_TRUE(stopped.get());
  EXPECT_EQ(worker->end(), Announcer::End::Stopped);

  EXPECT_EQ(sent(), (std::vector<std::string>{statusRequest(), say("next map is b")}));
  EXPECT_EQ(view->finishCount(), 0);
  EXPECT_EQ(logs.text(LogKind::BadLog), "");
}

}  // namespace
}  // namespace tarvix
