// A farm of game servers on loopback for the scan benchmark, in a process of
// its own so that its work is not counted as the scanner's: A answering
// servers (P players each) and S silent ones, bound on ports the system
// chooses, interleaved in one server list.
//
//   scan_farm DIR ANSWERING SILENT [PLAYERS]
//
// Writes DIR/Serverlists/Farm (three lines per server), DIR/farm.addresses
// (one HOST:PORT a line), DIR/Buddys.txt and DIR/clantags.txt, prints "ready"
// and answers until it is terminated.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t running = 1;

void onTerm(int) { running = 0; }

int bindLoopback(std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(a.sin_port);
  return fd;
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

void writeCrlf(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary);
  for (const auto& l : lines) out << l << "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s DIR ANSWERING SILENT [PLAYERS]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const int answering = std::atoi(argv[2]);
  const int silent = std::atoi(argv[3]);
  const int players = argc > 4 ? std::atoi(argv[4]) : 8;
  const int total = answering + silent;

  rlimit lim{};
  if (getrlimit(RLIMIT_NOFILE, &lim) == 0) {
    lim.rlim_cur = lim.rlim_max;
    setrlimit(RLIMIT_NOFILE, &lim);
  }

  const int ep = epoll_create1(EPOLL_CLOEXEC);
  std::vector<int> fds;
  std::vector<std::string> replies;  // by answering server, empty for silent ones
  std::vector<std::string> list, addresses;
  for (int i = 0; i < total; ++i) {
    // Silent servers spread evenly over the list.
    const bool quiet = (static_cast<long long>(i) * silent) / total !=
                       (static_cast<long long>(i + 1) * silent) / total;
    std::uint16_t port = 0;
    const int fd = bindLoopback(port);
    if (fd < 0) {
      std::perror("socket");
      return 1;
    }
    fds.push_back(fd);
    replies.push_back(quiet ? std::string() : statusReply(i, players));
    if (!quiet) {
      epoll_event ev{};
      ev.events = EPOLLIN;
      ev.data.u32 = static_cast<std::uint32_t>(i);
      epoll_ctl(ep, EPOLL_CTL_ADD, fd, &ev);
    }
    list.insert(list.end(), {"Server " + std::to_string(i), "127.0.0.1", std::to_string(port)});
    addresses.push_back("127.0.0.1:" + std::to_string(port));
  }
  ::mkdir((dir + "/Serverlists").c_str(), 0755);
  writeCrlf(dir + "/Serverlists/Farm", list);
  writeCrlf(dir + "/farm.addresses", addresses);
  std::vector<std::string> buddies;
  for (int b = 0; b < 50; ++b)
    buddies.push_back("player" + std::to_string(b * 7919 % (total * 100 + 1)));
  writeCrlf(dir + "/Buddys.txt", buddies);
  writeCrlf(dir + "/clantags.txt", {"[tag]", "=XX=", "[clan]"});

  std::signal(SIGTERM, onTerm);
  std::signal(SIGINT, onTerm);
  std::printf("ready\n");
  std::fflush(stdout);

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
  for (int fd : fds) ::close(fd);
  ::close(ep);
  return 0;
}
