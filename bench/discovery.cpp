// Server discovery on loopback: three fake masters whose lists overlap and
// together name 1 000 servers, 100 answering and 900 silent, asked with a
// 500 ms time-out, 1 000 queries in flight.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <vector>

#include "app/core/ServerDiscovery.h"
#include "support/FakeGameServer.h"
#include "support/FakeGameSpy.h"
#include "support/FakeMaster.h"

namespace {

using namespace tarvix;
using test::FakeGameServer;
using test::FakeMaster;
using test::MasterEntry;

// A bound socket nobody reads: a server that never answers.
int silentSocket(std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}

void BM_Discovery_3Masters_1000Servers_900Silent(benchmark::State& state) {
  constexpr int kAnswering = 100, kSilent = 900;
  std::vector<std::unique_ptr<FakeGameServer>> answering;
  std::vector<int> silent;
  std::vector<MasterEntry> all;
  const auto reply = test::gameSpyParts({{"hostname", "Bench"},
                                         {"mapname", "obj/obj_team2"},
                                         {"numplayers", "8"},
                                         {"maxplayers", "32"},
                                         {"player_0", "Player"},
                                         {"ping_0", "30"}},
                                        3);
  for (int i = 0; i < kAnswering; ++i) {
    answering.push_back(std::make_unique<FakeGameServer>());
    answering.back()->setResponder(
        [reply](const test::FakeDatagram&) { return test::FakeAnswer::split(reply); });
    all.push_back({"127.0.0.1", answering.back()->port()});
  }
  for (int i = 0; i < kSilent; ++i) {
    std::uint16_t port = 0;
    silent.push_back(silentSocket(port));
    all.push_back({"127.0.0.1", port});
  }
  // Each master lists half of the servers, so every server is listed by one
  // or two masters and the merge has duplicates to drop.
  FakeMaster masters[3];
  DiscoveryRequest request;
  request.games = {"mohaa"};
  for (int m = 0; m < 3; ++m) {
    std::vector<MasterEntry> part;
    for (std::size_t i = 0; i < all.size(); ++i)
      if ((i + static_cast<std::size_t>(m)) % 3 != 0) part.push_back(all[i]);
    masters[m].setList("mohaa", part);
    request.masters.push_back({"127.0.0.1", masters[m].port()});
  }
  request.timeoutMs = 500;
  request.parallel = 1000;

  StopSignal stop;
  for (auto _ : state) {
    const DiscoveryResult r = discoverServers(request, stop);
    int answered = 0;
    for (const FoundServer& s : r.servers) answered += s.answered ? 1 : 0;
    if (r.servers.size() != all.size() || answered != kAnswering)
      state.SkipWithError("not every server found or answered");
  }
  for (int fd : silent) ::close(fd);
}
BENCHMARK(BM_Discovery_3Masters_1000Servers_900Silent)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
