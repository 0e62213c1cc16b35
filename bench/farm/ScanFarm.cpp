// A farm of game servers on loopback for the scan benchmark, in processes of
// their own so that their work is not counted as the scanner's: A answering
// servers (P players each) and S silent ones, interleaved in one server list.
//
//   scan_farm DIR ANSWERING SILENT [PLAYERS]
//
// The servers are spread over several loopback addresses and over ports below
// the system's ephemeral range: thousands of bound ports inside that range
// make every client socket's port choice slow, for any scanner. One child
// process serves each share of at most kPerProcess servers (the open-file
// limit). Writes DIR/Serverlists/Farm (three lines per server),
// DIR/farm.addresses (one HOST:PORT a line), DIR/Buddys.txt and
// DIR/clantags.txt, prints "ready" and answers until it is terminated.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPerProcess = 12000;
constexpr int kAddressesPerProcess = 8;
constexpr int kLowestPort = 10000;

volatile std::sig_atomic_t running = 1;

void onTerm(int) { running = 0; }

// The first port of the system's ephemeral range; the farm stays below it.
int ephemeralLow() {
  std::ifstream in("/proc/sys/net/ipv4/ip_local_port_range");
  int low = 32768;
  in >> low;
  return low;
}

// 127.0.(1 + share).(2 + k): a share's own addresses, so shares never compete for a port.
in_addr_t shareAddress(int share, int k) {
  return htonl((127u << 24) | (static_cast<unsigned>(1 + share) << 8) |
               static_cast<unsigned>(2 + k));
}

// Binds the next free port at or after `port` below `limit` on `address`.
int bindFrom(in_addr_t address, int& port, int limit) {
  for (; port < limit; ++port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = address;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
    ::close(fd);
  }
  return -1;
}

std::string statusReply(int server, int players) {
  std::string r = "\xFF\xFF\xFF\xFF\x01statusResponse\n";
  r += "\\sv_hostname\\Farm " + std::to_string(server) + "\\mapname\\obj/obj_team" +
       std::to_string(1 + server % 4) + "\\sv_maxclients\\32\\version\\farm\n";
  for (int p = 0; p < players; ++p)
    r += std::to_string(20 + p) + " 0 \"" + (p % 4 == 0 ? "[clan]" : "") + "Player" +
         std::to_string(server * 100 + p) + "\"\n";
  return r;
}

bool silentAt(int i, int silent, int total) {
  // Silent servers spread evenly over the list.
  return (static_cast<long long>(i) * silent) / total !=
         (static_cast<long long>(i + 1) * silent) / total;
}

void serve(int ep, const std::vector<int>& fds, const std::vector<std::string>& replies) {
  std::vector<epoll_event> events(1024);
  char buf[2048];
  while (running) {
    const int n = epoll_wait(ep, events.data(), static_cast<int>(events.size()), 200);
    for (int e = 0; e < n; ++e) {
      const std::uint32_t i = events[e].data.u32;
      while (true) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t got =
            ::recvfrom(fds[i], buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (got < 0) break;
        ::sendto(fds[i], replies[i].data(), replies[i].size(), 0,
                 reinterpret_cast<sockaddr*>(&from), len);
      }
    }
  }
}

struct Farm {
  int answering, silent, players;
  int total() const { return answering + silent; }
};

// One share's child: binds servers [first, last), writes "HOST:PORT" a line
// to `out`, then "." and serves. Exits 1 when it cannot bind them all.
[[noreturn]] void runShare(const Farm& farm, int share, int first, int last, FILE* out) {
  const int ep = epoll_create1(EPOLL_CLOEXEC);
  const int limit = ephemeralLow();
  std::vector<int> fds, ports(kAddressesPerProcess, kLowestPort);
  std::vector<std::string> replies;
  for (int i = first; i < last; ++i) {
    const int k = (i - first) % kAddressesPerProcess;
    const in_addr_t address = shareAddress(share, k);
    const int fd = bindFrom(address, ports[k], limit);
    if (fd < 0) {
      std::fprintf(stderr, "scan_farm: no free port below %d on share %d\n", limit, share);
      std::_Exit(1);
    }
    const bool quiet = silentAt(i, farm.silent, farm.total());
    replies.push_back(quiet ? std::string() : statusReply(i, farm.players));
    if (!quiet) {
      epoll_event ev{};
      ev.events = EPOLLIN;
      ev.data.u32 = static_cast<std::uint32_t>(fds.size());
      epoll_ctl(ep, EPOLL_CTL_ADD, fd, &ev);
    }
    fds.push_back(fd);
    char host[INET_ADDRSTRLEN];
    in_addr a{address};
    std::fprintf(out, "%s:%d\n", inet_ntop(AF_INET, &a, host, sizeof host), ports[k]++);
  }
  std::fprintf(out, ".\n");
  std::fclose(out);
  serve(ep, fds, replies);
  std::_Exit(0);
}

void writeCrlf(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary);
  for (const auto& l : lines) out << l << "\r\n";
}

// Starts one child per share and returns every server's "HOST:PORT" in list order.
bool startShares(const Farm& farm, std::vector<pid_t>& children, std::vector<std::string>& hosts) {
  for (int first = 0, share = 0; first < farm.total(); first += kPerProcess, ++share) {
    const int last = std::min(farm.total(), first + kPerProcess);
    int p[2];
    if (::pipe(p) != 0) return false;
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
      ::close(p[0]);
      runShare(farm, share, first, last, fdopen(p[1], "w"));
    }
    ::close(p[1]);
    children.push_back(pid);
    FILE* in = fdopen(p[0], "r");
    char line[64];
    bool complete = false;
    while (std::fgets(line, sizeof line, in)) {
      if (std::strcmp(line, ".\n") == 0) {
        complete = true;
        break;
      }
      hosts.emplace_back(line, std::strcspn(line, "\n"));
    }
    std::fclose(in);
    if (!complete) return false;
  }
  return true;
}

void writeFiles(const std::string& dir, const Farm& farm, const std::vector<std::string>& hosts) {
  std::vector<std::string> list;
  for (int i = 0; i < farm.total(); ++i) {
    const auto colon = hosts[i].rfind(':');
    list.insert(list.end(), {"Server " + std::to_string(i), hosts[i].substr(0, colon),
                             hosts[i].substr(colon + 1)});
  }
  ::mkdir((dir + "/Serverlists").c_str(), 0755);
  writeCrlf(dir + "/Serverlists/Farm", list);
  writeCrlf(dir + "/farm.addresses", hosts);
  std::vector<std::string> buddies;
  for (int b = 0; b < 50; ++b)
    buddies.push_back("player" + std::to_string(b * 7919 % (farm.total() * 100 + 1)));
  writeCrlf(dir + "/Buddys.txt", buddies);
  writeCrlf(dir + "/clantags.txt", {"[tag]", "=XX=", "[clan]"});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s DIR ANSWERING SILENT [PLAYERS]\n", argv[0]);
    return 2;
  }
  const Farm farm{std::atoi(argv[2]), std::atoi(argv[3]), argc > 4 ? std::atoi(argv[4]) : 8};
  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) == 0) {
    lim.rlim_cur = lim.rlim_max;
    setrlimit(RLIMIT_NOFILE, &lim);
  }
  std::signal(SIGTERM, onTerm);
  std::signal(SIGINT, onTerm);
  std::vector<pid_t> children;
  std::vector<std::string> hosts;
  const bool started = startShares(farm, children, hosts);
  if (started) {
    writeFiles(argv[1], farm, hosts);
    std::printf("ready\n");
    std::fflush(stdout);
    while (running) ::sleep(1);  // a signal cuts the sleep short
  }
  for (pid_t c : children) ::kill(c, SIGTERM);
  for (pid_t c : children) ::waitpid(c, nullptr, 0);
  return started ? 0 : 1;
}
