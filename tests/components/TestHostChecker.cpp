// Host checker rounds against 127.0.0.1: per-ping and verdict lines, the
// simultaneous and one-by-one modes, failed echoes through sockets that drop
// every reply or do not open, the timer, and the quit of ping threads.
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <linux/filter.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <memory>

#include "components/HostChecker.h"
#include "components/IcmpEcho.h"
#include "components/PingThread.h"

using namespace tarvix;

namespace {

struct Line {
  std::string logId;
  std::string msg;
  int level;
  int status;
  std::size_t threadsStarted;  // ping threads registered when the line came
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
    c.OnLog = [this](QObject*, const std::string& id, std::string& msg, std::uint8_t& level,
                     LogStatus& status) {
      lines.push_back({id, msg, level, static_cast<int>(status), PingThread::Registry().size()});
    };
    c.OnLink = [this](QObject*) { events.push_back("link"); };
    c.OnNoLink = [this](QObject*) { events.push_back("nolink"); };
    c.OnCheckLink = [this](QObject*, bool on) { events.push_back(on ? "check:1" : "check:0"); };
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
    // Let every thread of the test end and be freed before the next one.
    QTRY_COMPARE_WITH_TIMEOUT(PingThread::LiveCount(), 0, 10000);
    setIcmpSocketOpener({});
  }

  void propertiesIgnoreZerosAndBlankHosts() {
    HostChecker c;
    QCOMPARE(c.logID(), std::string("Link checker"));
    QCOMPARE(c.autoCheckPeriod(), std::uint16_t(10000));
    QCOMPARE(c.PingCount(), std::uint8_t(5));
    QCOMPARE(c.HostName(), std::string("localhost"));
    QCOMPARE(c.PingMode(), hpmSimultaneous);
    QVERIFY(!c.timer()->isActive());
    c.setPingCount(0);
    c.setPingSize(0);
    c.setTTL(0);
    c.setPingTimeOut(0);
    c.setAutoCheckPeriod(0);
    c.setHostName("   ");
    c.setHostName("");
    QCOMPARE(c.PingCount(), std::uint8_t(5));
    QCOMPARE(c.PingSize(), std::uint8_t(1));
    QCOMPARE(c.TTL(), std::uint8_t(64));
    QCOMPARE(c.PingTimeOut(), std::uint16_t(1500));
    QCOMPARE(c.autoCheckPeriod(), std::uint16_t(10000));
    QCOMPARE(c.timer()->interval(), 10000);
    QCOMPARE(c.HostName(), std::string("localhost"));
    c.setAutoCheckPeriod(700);
    QCOMPARE(c.timer()->interval(), 700);
    c.setHostName(" 127.0.0.1 ");
    QCOMPARE(c.HostName(), std::string(" 127.0.0.1 "));
    c.setAutoCheck(true);
    QVERIFY(c.timer()->isActive());
    c.setAutoCheck(false);
    QVERIFY(!c.timer()->isActive());
  }

  void onePingRoundGivesOneLineAndTheVerdict() {
    HostChecker c;
    c.setPingCount(1);
    c.setLogID("Probe");
    Recorder r(c);
    c.Check();
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
    c.setPingTimeOut(300);
    Recorder r(c);
    const std::size_t before = PingThread::Registry().size();
    c.Check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 6, 10000);
    QCOMPARE(PingThread::Registry().size(), before + 5);
    // All five were started before the first was reported.
    QCOMPARE(r.lines[0].threadsStarted, before + 5);
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
    c.setPingTimeOut(200);
    Recorder r(c);
    c.Check();
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
    c.Check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 2, 10000);
    QCOMPARE(r.lines[0].msg, std::string("Ping for 127.0.0.1, "));
    QCOMPARE(r.lines[0].status, 3);
    QCOMPARE(r.lines[1].msg, std::string("No link to 127.0.0.1."));
  }

  void oneByOneStartsEachPingAfterTheLastWasReported() {
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingCount(3);
    c.setPingMode(hpmOneByOne);
    Recorder r(c);
    const std::size_t before = PingThread::Registry().size();
    c.Check();
    QTRY_COMPARE_WITH_TIMEOUT(int(r.lines.size()), 4, 10000);
    for (int i = 0; i < 3; ++i) {
      QVERIFY(kAnswered.match(QString::fromStdString(r.lines[i].msg)).hasMatch());
      QCOMPARE(r.lines[i].threadsStarted, before + i + 1);
    }
    QCOMPARE(r.lines[3].msg, std::string("There is link to 127.0.0.1."));
    QCOMPARE(PingThread::Registry().size(), before + 3);
  }

  void pingThreadTrimsTheHost() {
    auto* t = new PingThread();
    t->Host = "  127.0.0.1 ";
    t->DataSize = 2;
    t->start();
    QVERIFY(t->wait(10000));
    QCOMPARE(t->ReplyCount, 1u);
    QCOMPARE(t->ErrorCode, 0u);
    QCOMPARE(t->TargetIP, std::string("127.0.0.1"));
    QCOMPARE(t->ReplyIP, std::string("127.0.0.1"));
    QCOMPARE(t->ReplyName, std::string("127.0.0.1"));
    QCOMPARE(t->ReplyDataSize, std::uint16_t(2));
    delete t;

    t = new PingThread();
    t->Host = "   ";
    t->start();
    QVERIFY(t->wait(10000));
    QCOMPARE(t->ReplyCount, 0u);
    QCOMPARE(t->ErrorCode, 11018u);
    QCOMPARE(t->ErrorText, std::string("Bad Destination"));
    delete t;
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
    const std::size_t before = PingThread::Registry().size();
    QMetaObject::invokeMethod(c.timer(), "timeout");
    c.setAutoCheck(true);
    QTest::qWait(100);
    c.setAutoCheck(false);
    QCOMPARE(PingThread::Registry().size(), before);
  }

  void quitEndsWaitingThreadsAndSilencesTheChecker() {
    installOpener(0);
    HostChecker c;
    c.setHostName("127.0.0.1");
    c.setPingCount(3);
    c.setPingTimeOut(60000);
    Recorder r(c);
    c.Check();
    auto* own = new PingThread();
    own->Host = "127.0.0.1";
    own->TimeOut = 60000;
    own->start();
    QCOMPARE(PingThread::Registry().size() >= 4, true);
    QTest::qWait(50);
    setApplicationTerminated(true);
    PingThread::PostQuitToAll();
    QVERIFY(PingThread::Registry().empty());
    QVERIFY(own->isFinished());
    // Ended by the quit request, long before its time-out.
    QCOMPARE(own->ErrorCode, std::uint32_t(IP_GENERAL_FAILURE));
    delete own;
    QTest::qWait(100);
    QVERIFY(r.lines.empty());
    QVERIFY(r.events.empty());
  }
};

QTEST_GUILESS_MAIN(TestHostChecker)
#include "TestHostChecker.moc"
