// Host checker rounds against 127.0.0.1: per-ping and verdict lines, the
// simultaneous and one-by-one modes, failed echoes through sockets that drop
// every reply or do not open, the timer, and the quit of running pings.
#include <linux/filter.h>
#include <sys/socket.h>

#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

#include "components/HostChecker.h"
#include "components/IcmpEcho.h"
#include "components/PingJob.h"
#include "support/HangingLookup.h"

using namespace tarvix;

namespace {

struct Line {
  std::string logId;
  std::string msg;
  int level;
  int status;
  std::size_t pingsStarted;  // pings registered when the line came
};

int openRaw(int domain, int type, int protocol, bool deaf) {
  if ((type & 0xF) == SOCK_DGRAM) {
    errno = EACCES;
    return -1;
  }
  int fd = ::socket(domain, type | SOCK_CLOEXEC, protocol);
  if (fd >= 0 && deaf) {
    sock_filter drop[] = {{BPF_RET | BPF_K, 0, 0, 0}};
    sock_fprog prog{1, drop};
    ::setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &prog, sizeof prog);
  }
  return fd;
}

// Raw sockets; the first `answering` of them hear replies, the rest hear nothing.
void installOpener(int answering) {
  auto opened = std::make_shared<std::atomic<int>>(0);
  setIcmpSocketOpener([opened, answering](int d, int t, int p) {
    if ((t & 0xF) == SOCK_DGRAM) return openRaw(d, t, p, false);
    return openRaw(d, t, p, opened->fetch_add(1) >= answering);
  });
}

// Records every event of a checker.
struct Recorder {
  std::vector<Line> lines;
  std::vector<std::string> events;
  explicit Recorder(HostChecker& c) {
    QObject::connect(
        &c, &HostChecker::lineLogged,
        [this](const std::string& id, const std::string& msg, int level, LogStatus status) {
          lines.push_back({id, msg, level, static_cast<int>(status), startedPings().size()});
        });
    QObject::connect(&c, &HostChecker::linkFound, [this] { events.push_back("link"); });
    QObject::connect(&c, &HostChecker::noLink, [this] { events.push_back("nolink"); });
    QObject::connect(&c, &HostChecker::linkChecked,
                     [this](bool on) { events.push_back(on ? "check:1" : "check:0"); });
  }
  int verdicts() const {
    int n = 0;
    for (const Line& l : lines) n += l.status == 9;
    return n;
  }
};

const QRegularExpression kAnswered(
    "^Ping for (\\S+), received (\\d+) bytes from 127\\.0\\.0\\.1 in (\\d+)ms$");

}  // namespace

class TestHostChecker : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    setApplicationTerminated(false);
    setIcmpSocketOpener({});
  }
  void cleanup() {
    // Let every ping of the test end before the next one.
    QTRY_COMPARE_WITH_TIMEOUT(runningPings(), 0, 10000);
    setIcmpSocketOpener({});
  }

  void propertiesIgnoreZerosAndBlankHosts() {
    HostChecker c;
    QCOMPARE(c.logId(), std::string("Link checker"));
    QCOMPARE(c.autoCheckPeriod(), std::uint16_t(10000));
    QCOMPARE(c.pingCount(), std::uint8_t(5));
    QCOMPARE(c.hostName(), std::string("localhost"));
    QCOMPARE(c.pingMode(), PingMode::Simultaneous);
    QVERIFY(!c.timer()->isActive());
    c.setPingCount(0);
    c.setPingSize(0);
    c.setTtl(0);
    c.setPingTimeout(0);
    c.setAutoCheckPeriod(0);
    c.setHostName("   ");
    c.setHostName("");
    QCOMPARE(c.pingCount(), std::uint8_t(5));
    QCOMPARE(c.pingSize(), std::uint8_t(1));
    QCOMPARE(c.ttl(), std::uint8_t(64));
    QCOMPARE(c.pingTimeout(), std::uint16_t(1500));
    QCOMPARE(c.autoCheckPeriod(), std::uint16_t(10000));
    QCOMPARE(c.timer()->interval(), 10000);
    QCOMPARE(c.hostName(), std::string("localhost"));
    c.setAutoCheckPeriod(700);
    QCOMPARE(c.timer()->interval(), 700);
    c.setHostName(" 127.0.0.1 ");
    QCOMPARE(c.hostName(), std::string(" 127.0.0.1 "));
    c.setAutoCheck(true);
    QVERIFY(c.timer()->isActive());
    c.setAutoCheck(false);
    QVERIFY(!c.timer()->isActive());
  }

  void onePingRoundGivesOneLineAndTheVerdict() {
    HostChecker c;
    c.setPingCount(1);
    c.setLogId("Probe");
    Recorder r(c);
    c.check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 2, 10000);
    QRegularExpressionMatch m = kAnswered.match(QString::fromStdString(r.lines[0].msg));
    QVERIFY2(m.hasMatch(), r.lines[0].msg.c_str());
    QCOMPARE(m.captured(1), QString("localhost"));
    QCOMPARE(m.captured(2), QString("1"));
    QCOMPARE(r.lines[0].level, 64);
    QCOMPARE(r.lines[0].status, 8);
    QCOMPARE(r.lines[0].logId, std::string("Probe"));
    QCOMPARE(r.lines[1].msg, std::string("There is link to localhost."));
    QCOMPARE(r.lines[1].level, 96);
    QCOMPARE(r.lines[1].status, 9);
    QCOMPARE(r.events, (std::vector<std::string>{"link", "check:1"}));
    QCOMPARE(c.completedCount(), 0u);
    QCOMPARE(c.failedCount(), 0u);
  }

  void simultaneousRoundWithSomeAnswers() {
    installOpener(2);
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingTimeout(300);
    Recorder r(c);
    const std::size_t before = startedPings().size();
    c.check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 6, 10000);
    QCOMPARE(startedPings().size(), before + 5);
    // All five were started before the first was reported.
    QCOMPARE(r.lines[0].pingsStarted, before + 5);
    int answered = 0, timedOut = 0;
    for (int i = 0; i < 5; ++i) {
      if (kAnswered.match(QString::fromStdString(r.lines[i].msg)).hasMatch()) ++answered;
      if (r.lines[i].msg == "Ping for 127.0.0.1, Request timed out") {
        QCOMPARE(r.lines[i].status, 3);
        ++timedOut;
      }
    }
    QCOMPARE(answered, 2);
    QCOMPARE(timedOut, 3);
    QCOMPARE(r.lines[5].msg, std::string("There is link to 127.0.0.1."));
    QCOMPARE(r.events, (std::vector<std::string>{"link", "check:1"}));
  }

  void roundWithoutAnswersHasNoLink() {
    installOpener(0);
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingCount(2);
    c.setPingTimeout(200);
    Recorder r(c);
    c.check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 3, 10000);
    QCOMPARE(r.lines[0].msg, std::string("Ping for 127.0.0.1, Request timed out"));
    QCOMPARE(r.lines[1].msg, std::string("Ping for 127.0.0.1, Request timed out"));
    QCOMPARE(r.lines[2].msg, std::string("No link to 127.0.0.1."));
    QCOMPARE(r.events, (std::vector<std::string>{"nolink", "check:0"}));
  }

  void echoServiceThatCannotOpenFailsWithoutReason() {
    setIcmpSocketOpener([](int, int, int) {
      errno = EPERM;
      return -1;
    });
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingCount(1);
    Recorder r(c);
    c.check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 2, 10000);
    QCOMPARE(r.lines[0].msg, std::string("Ping for 127.0.0.1, "));
    QCOMPARE(r.lines[0].status, 3);
    QCOMPARE(r.lines[1].msg, std::string("No link to 127.0.0.1."));
  }

  void oneByOneStartsEachPingAfterTheLastWasReported() {
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingCount(3);
    c.setPingMode(PingMode::OneByOne);
    Recorder r(c);
    const std::size_t before = startedPings().size();
    c.check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 4, 10000);
    for (int i = 0; i < 3; ++i) {
      QVERIFY(kAnswered.match(QString::fromStdString(r.lines[i].msg)).hasMatch());
      QCOMPARE(r.lines[i].pingsStarted, before + i + 1);
    }
    QCOMPARE(r.lines[3].msg, std::string("There is link to 127.0.0.1."));
    QCOMPARE(startedPings().size(), before + 3);
  }

  void pingTrimsTheHost() {
    StopSignal stop;
    PingRequest request;
    request.host = "  127.0.0.1 ";
    request.dataSize = 2;
    PingResult r = runPing(request, stop);
    QCOMPARE(r.replyCount, 1u);
    QCOMPARE(r.errorCode, 0u);
    QCOMPARE(r.targetIp, std::string("127.0.0.1"));
    QCOMPARE(r.replyIp, std::string("127.0.0.1"));
    QCOMPARE(r.replyName, std::string("127.0.0.1"));
    QCOMPARE(r.replyDataSize, std::uint16_t(2));

    request.host = "   ";
    r = runPing(request, stop);
    QCOMPARE(r.replyCount, 0u);
    QCOMPARE(r.errorCode, 11018u);
    QCOMPARE(r.errorText, std::string("Bad Destination"));
  }

  void timerRepeatsTheCheckWhileAutoCheck() {
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingCount(1);
    c.setAutoCheckPeriod(20);
    Recorder r(c);
    c.setAutoCheck(true);
    QTRY_VERIFY_WITH_TIMEOUT(r.verdicts() >= 2, 10000);
    c.setAutoCheck(false);
    // After shutdown has begun the timer starts nothing.
    setApplicationTerminated(true);
    const std::size_t before = startedPings().size();
    QMetaObject::invokeMethod(c.timer(), "timeout");
    c.setAutoCheck(true);
    QTest::qWait(100);
    c.setAutoCheck(false);
    QCOMPARE(startedPings().size(), before);
  }

  void quitEndsWaitingThreadsAndSilencesTheChecker() {
    installOpener(0);
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingCount(3);
    c.setPingTimeout(60000);
    Recorder r(c);
    c.check();
    PingRequest request;
    request.host = "127.0.0.1";
    request.timeoutMs = 60000;
    QObject receiver;
    bool delivered = false;
    const BackgroundTask own =
        startPing(&receiver, request, [&](const PingResult&) { delivered = true; });
    QCOMPARE(startedPings().size() >= 4, true);
    QTest::qWait(50);
    setApplicationTerminated(true);
    // Returns only once every echo has ended, long before their time-outs.
    quitAllPings();
    QVERIFY(startedPings().empty());
    QCOMPARE(runningPings(), 0);
    QVERIFY(!own.pending());
    QTest::qWait(100);
    QVERIFY(!delivered);
    QVERIFY(r.lines.empty());
    QVERIFY(r.events.empty());
  }

  void stopEndsAWaitingPing() {
    installOpener(0);
    StopSignal stop;
    PingRequest request;
    request.host = "127.0.0.1";
    request.timeoutMs = 60000;
    std::thread quitter([&] {
      stop.waitFor(50);
      stop.request();
    });
    const PingResult r = runPing(request, stop);
    quitter.join();
    QCOMPARE(r.replyCount, 0u);
    QCOMPARE(r.errorCode, std::uint32_t(kIpGeneralFailure));

    // A host name whose look-up never answers: the stop ends that wait too.
    test::HangingLookup lookup;
    stop.reset();
    request.host = "never.answers.example";
    std::thread named([&] {
      if (lookup.waitForLookups(1, 5000)) stop.request();
    });
    const PingResult unnamed = runPing(request, stop);
    named.join();
    QCOMPARE(lookup.hosts(), std::vector<std::string>{"never.answers.example"});
    QCOMPARE(unnamed.replyCount, 0u);
    QCOMPARE(unnamed.errorCode, std::uint32_t(kIpGeneralFailure));
  }
};

QTEST_GUILESS_MAIN(TestHostChecker)
#include "TestHostChecker.moc"
