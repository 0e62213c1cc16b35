// ICMP echo to 127.0.0.1 over the socket the system allows, the raw and
// datagram paths, time-outs through a socket that drops every reply, the
// set-up failure, address resolution and the status texts.
#include <linux/filter.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <thread>

#include "components/IcmpEcho.h"
#include "protocol/UdpClient.h"

using namespace tarvix;

namespace {

// A socket whose filter drops every packet: requests go out, no reply is seen.
int openDeaf(int domain, int type, int protocol) {
  int fd = ::socket(domain, type | SOCK_CLOEXEC, protocol);
  if (fd < 0) return fd;
  sock_filter drop[] = {{BPF_RET | BPF_K, 0, 0, 0}};
  sock_fprog prog{1, drop};
  ::setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &prog, sizeof prog);
  return fd;
}

int refuseDatagram(int domain, int type, int protocol) {
  if ((type & 0xF) == SOCK_DGRAM) {
    errno = EACCES;
    return -1;
  }
  return ::socket(domain, type | SOCK_CLOEXEC, protocol);
}

bool datagramIcmpAllowed() {
  int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

// In a forked child: a private network namespace with only loopback, where
// unprivileged ICMP sockets are allowed, so the datagram path can be tried
// without changing the system's settings. Returns the child's exit code:
// 0 echo answered over a datagram socket, 1 failure, 77 namespace unavailable.
int datagramEchoInPrivateNamespace() {
  pid_t pid = ::fork();
  if (pid < 0) return 77;
  if (pid == 0) {
    ::alarm(20);
    if (::unshare(CLONE_NEWNET) != 0) ::_exit(77);
    {
      std::ofstream range("/proc/sys/net/ipv4/ping_group_range");
      range << "0 2147483647\n";
      if (!range.flush()) ::_exit(77);
    }
    int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    if (::ioctl(s, SIOCGIFFLAGS, &ifr) != 0) ::_exit(77);
    ifr.ifr_flags |= IFF_UP;
    if (::ioctl(s, SIOCSIFFLAGS, &ifr) != 0) ::_exit(77);
    ::close(s);
    try {
      IcmpEcho icmp;
      if (icmp.socketKind() != IcmpSocketKind::Datagram) ::_exit(1);
      icmp.setAddress("127.0.0.1");
      icmp.dataSize = 5;
      icmp.timeoutMs = 2000;
      bool ok = icmp.ping() == 1 && icmp.lastReply.dataSize == 5 &&
                icmp.lastReply.address == htonl(INADDR_LOOPBACK) && icmp.lastStatus == 0;
      ::_exit(ok ? 0 : 1);
    } catch (...) {
      ::_exit(1);
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

struct OpenerGuard {
  explicit OpenerGuard(IcmpSocketOpener o) { setIcmpSocketOpener(std::move(o)); }
  ~OpenerGuard() { setIcmpSocketOpener({}); }
};

}  // namespace

class TestIcmp : public QObject {
  Q_OBJECT

 private slots:
  void echoToLoopbackReportsTheReply() {
    IcmpEcho icmp;
    int before = 0, after = -1;
    icmp.onBeforeEcho = [&](IcmpEcho*) { ++before; };
    icmp.onAfterEcho = [&](IcmpEcho*, int n) { after = n; };
    icmp.setAddress("127.0.0.1");
    QCOMPARE(icmp.ping(), 1);
    QCOMPARE(before, 1);
    QCOMPARE(after, 1);
    QCOMPARE(icmp.lastStatus, 0u);
    QCOMPARE(icmp.errorText(), std::string("No error"));
    QCOMPARE(icmp.lastReply.address, htonl(INADDR_LOOPBACK));
    QCOMPARE(icmp.lastReply.status, 0u);
    QCOMPARE(icmp.lastReply.dataSize, std::uint16_t(56));
    QVERIFY(icmp.lastReply.roundTripMs <= icmp.timeoutMs);
    // 56 bytes: the 45-character text and 11 blanks.
    QCOMPARE(icmp.lastRequestData(), std::string(kIcmpRequestText) + std::string(11, ' '));
    // A dotted address is its own name.
    QCOMPARE(icmp.resolvedName(), std::string("127.0.0.1"));
    QCOMPARE(icmp.resolvedIp(), std::string("127.0.0.1"));

    icmp.dataSize = 1;
    QCOMPARE(icmp.ping(), 1);
    QCOMPARE(icmp.lastRequestData(), std::string(1, kIcmpRequestText[0]));
    QCOMPARE(icmp.lastReply.dataSize, std::uint16_t(1));

    icmp.dataSize = 1000;
    QCOMPARE(icmp.ping(), 1);
    QCOMPARE(icmp.lastReply.dataSize, std::uint16_t(1000));
    QCOMPARE(icmp.lastRequestData().substr(0, 45), std::string(kIcmpRequestText));
    QCOMPARE(icmp.lastRequestData().find_first_not_of(' ', 45), std::string::npos);
  }

  void hostNameResolvesAndResolutionIsKeptPerAddress() {
    IcmpEcho icmp;
    icmp.setAddress("localhost");
    icmp.dataSize = 1;
    QCOMPARE(icmp.ping(), 1);
    QCOMPARE(icmp.resolvedIp(), std::string("127.0.0.1"));
    QVERIFY(icmp.isResolved());
    icmp.setAddress("localhost");
    QVERIFY(icmp.isResolved());
    icmp.setAddress("127.0.0.1");
    QVERIFY(!icmp.isResolved());
    QCOMPARE(icmp.ping(), 1);
    QCOMPARE(icmp.resolvedName(), std::string("127.0.0.1"));
  }

  void unusableAddressesAreBadDestinations() {
    IcmpEcho icmp;
    std::vector<std::string> messages;
    icmp.onMessage = [&](IcmpEcho*, const std::string& m) { messages.push_back(m); };
    int echoes = 0;
    icmp.onBeforeEcho = [&](IcmpEcho*) { ++echoes; };
    // An empty name cannot be resolved (and is never sent to a resolver).
    icmp.setAddress("x");
    icmp.setAddress("");
    QCOMPARE(icmp.ping(), 0);
    QCOMPARE(icmp.lastStatus, std::uint32_t(kIpBadDestination));
    QCOMPARE(icmp.errorText(), std::string("Bad Destination"));
    QCOMPARE(messages, (std::vector<std::string>{"Unable to resolve ", "Invalid host address"}));
    // A failed resolution after a good one leaves no stale target.
    icmp.setAddress("127.0.0.1");
    QVERIFY(icmp.resolve());
    icmp.setAddress("");
    QVERIFY(!icmp.resolve());
    messages.clear();
    QCOMPARE(icmp.ping(), 0);
    QCOMPARE(icmp.lastStatus, std::uint32_t(kIpBadDestination));
    // The all-ones address marks "no address".
    messages.clear();
    icmp.setAddress("255.255.255.255");
    QCOMPARE(icmp.ping(), 0);
    QCOMPARE(icmp.lastStatus, std::uint32_t(kIpBadDestination));
    QCOMPARE(messages, (std::vector<std::string>{"Invalid host address"}));
    QCOMPARE(echoes, 0);
  }

  void noReplyTimesOut() {
    OpenerGuard g(openDeaf);
    IcmpEcho icmp;
    icmp.setAddress("127.0.0.1");
    icmp.timeoutMs = 150;
    int after = -1;
    icmp.onAfterEcho = [&](IcmpEcho*, int n) { after = n; };
    QCOMPARE(icmp.ping(), 0);
    QCOMPARE(after, 0);
    QCOMPARE(icmp.lastStatus, std::uint32_t(kIpReqTimedOut));
    QCOMPARE(icmp.errorText(), std::string("Request timed out"));
  }

  void quitRequestEndsAWaitingEcho() {
    OpenerGuard g(openDeaf);
    IcmpEcho icmp;
    StopSignal quit;
    icmp.setStop(&quit);
    icmp.setAddress("127.0.0.1");
    icmp.timeoutMs = 60000;
    std::thread t([&] {
      quit.waitFor(50);
      quit.request();
    });
    QCOMPARE(icmp.ping(), 0);
    t.join();
    // Ended by the request, not by the time-out.
    QCOMPARE(icmp.lastStatus, std::uint32_t(kIpGeneralFailure));
  }

  void noSocketIsTheSetupFailure() {
    OpenerGuard g([](int, int, int) {
      errno = EPERM;
      return -1;
    });
    try {
      IcmpEcho icmp;
      QFAIL("no exception");
    } catch (const IcmpError& e) {
      QCOMPARE(std::string(e.what()), std::string("Unable to get ping handle"));
    }
  }

  void rawSocketWhenDatagramIsRefused() {
    OpenerGuard g(refuseDatagram);
    IcmpEcho a, b;
    QCOMPARE(a.socketKind(), IcmpSocketKind::Raw);
    a.setAddress("127.0.0.1");
    b.setAddress("127.0.0.1");
    a.dataSize = 3;
    b.dataSize = 7;
    // Every raw socket sees every reply; each object takes only its own.
    QCOMPARE(a.ping(), 1);
    QCOMPARE(b.ping(), 1);
    QCOMPARE(a.lastReply.dataSize, std::uint16_t(3));
    QCOMPARE(b.lastReply.dataSize, std::uint16_t(7));
    QCOMPARE(a.lastReply.options.ttl, std::uint8_t(64));
  }

  void datagramSocketWhereAllowed() {
    if (!datagramIcmpAllowed()) {
      const int rc = datagramEchoInPrivateNamespace();
      if (rc == 77) QSKIP("unprivileged ICMP sockets are not allowed here");
      QCOMPARE(rc, 0);
      return;
    }
    IcmpEcho icmp;
    QCOMPARE(icmp.socketKind(), IcmpSocketKind::Datagram);
    icmp.setAddress("127.0.0.1");
    icmp.dataSize = 5;
    QCOMPARE(icmp.ping(), 1);
    QCOMPARE(icmp.lastReply.dataSize, std::uint16_t(5));
    QCOMPARE(icmp.lastReply.address, htonl(INADDR_LOOPBACK));
  }

  void statusTexts() {
    QCOMPARE(icmpStatusText(11020), std::string("Spec MTU change"));
    QCOMPARE(icmpStatusText(11255), std::string("Pending"));
    QCOMPARE(icmpStatusText(42), std::string("ICMP error #42"));
    QCOMPARE(icmpStatusText(11022), std::string("ICMP error #11022"));
  }
};

QTEST_GUILESS_MAIN(TestIcmp)
#include "TestIcmp.moc"
