// One scan pass over fake servers on loopback: time per answering server
// (list, buddy and clan-tag files read as in the program), and the overhead
// of a pass over silent servers above n x time-out.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/core/HeadlessScan.h"
#include "app/core/ScanPass.h"
#include "support/FakeGameServer.h"
#include "support/TempDataDir.h"

namespace {

using tarvix::HeadlessScanSettings;
using tarvix::HeadlessScanView;
using tarvix::ScanPass;
using tarvix::test::FakeGameServer;
using tarvix::test::makeStatusReply;
using tarvix::test::TempDataDir;

// User and system time of the whole process (the pass's thread, the fake
// servers' threads), in milliseconds.
double processCpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(u.ru_utime) + ms(u.ru_stime);
}

constexpr const char* kList = "Serverlists\\Standard";

struct Farm {
  TempDataDir dir;
  std::vector<std::unique_ptr<FakeGameServer>> servers;
  std::vector<std::string> names;

  Farm(int n, bool answering, int playersEach) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
      auto s = std::make_unique<FakeGameServer>();
      if (answering) {
        std::vector<std::pair<int, std::string>> players;
        for (int p = 0; p < playersEach; ++p)
          players.emplace_back(30 + p, "[clan]Player" + std::to_string(i * 100 + p));
        s->setReply(makeStatusReply("\\sv_hostname\\Server " + std::to_string(i) +
                                        "\\mapname\\obj/obj_team2\\sv_maxclients\\32",
                                    players));
      }
      names.push_back("Server " + std::to_string(i));
      lines.push_back(names.back());
      lines.push_back(FakeGameServer::host());
      lines.push_back(s->portText());
      servers.push_back(std::move(s));
    }
    dir.writeInstallation(lines);
    std::vector<std::string> buddies;
    for (int b = 0; b < 20; ++b) buddies.push_back("Player" + std::to_string(b * 37));
    dir.writeLines("Buddys.txt", buddies);
    dir.writeLines("clantags.txt", {"[tag]", "=XX=", "[clan]"});
  }

  // One pass; returns whether it completed.
  bool pass(int timeoutMs) {
    auto view =
        std::make_shared<HeadlessScanView>(names, HeadlessScanSettings{kList, timeoutMs, true});
    ScanPass scan(view);
    scan.start();
    scan.join();
    return scan.end() == ScanPass::End::Completed;
  }
};

// 200 answering servers with 8 players each; clan tags on.
void BM_ScanPass_200Answering(benchmark::State& state) {
  constexpr int kServers = 200;
  Farm farm(kServers, true, 8);
  double wallMs = 0, cpuMs = 0;
  for (auto _ : state) {
    const double cpu0 = processCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    if (!farm.pass(2000)) state.SkipWithError("pass did not complete");
    wallMs +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    cpuMs += processCpuMs() - cpu0;
  }
  const double servers = static_cast<double>(state.iterations()) * kServers;
  // Both include the fake servers' own thread, which runs in this process.
  state.counters["wall_ms_per_server"] = wallMs / servers;
  state.counters["cpu_ms_per_server"] = cpuMs / servers;
}
BENCHMARK(BM_ScanPass_200Answering)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// 20 silent servers, 250 ms time-out: the pass should take 20 x 250 ms.
void BM_ScanPass_20Silent(benchmark::State& state) {
  constexpr int kServers = 20;
  constexpr int kTimeoutMs = 250;
  Farm farm(kServers, false, 0);
  double overheadMs = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    if (!farm.pass(kTimeoutMs)) state.SkipWithError("pass did not complete");
    auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    overheadMs += ms - kServers * kTimeoutMs;
  }
  const double perPass = overheadMs / static_cast<double>(state.iterations());
  state.counters["overhead_ms"] = perPass;
  state.counters["overhead_pct"] = 100.0 * perPass / (kServers * kTimeoutMs);
}
BENCHMARK(BM_ScanPass_20Silent)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
