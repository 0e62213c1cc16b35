// How soon the admin daemon ends after SIGTERM while both passes sit in a
// wait for a silent server (goal: under 100 ms).
#include <benchmark/benchmark.h>
#include <signal.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "admin/core/WatchDaemon.h"
#include "base/TerminationSignals.h"
#include "protocol/Rcon.h"
#include "support/FakeGameServer.h"
#include "support/TempDataDir.h"

namespace {

using tarvix::StopSignal;
using tarvix::TerminationSignals;
using tarvix::WatchDaemon;
using tarvix::WatchSettings;
using tarvix::test::FakeAnswer;
using tarvix::test::FakeDatagram;
using tarvix::test::FakeGameServer;
using tarvix::test::makePrintReply;

void BM_WatchStopOnSigterm(benchmark::State& state) {
  // Before any other thread exists, so SIGTERM reaches the daemon's stop.
  static StopSignal stop;
  static TerminationSignals signals(stop);
  tarvix::test::TempDataDir dir;
  dir.writeInstallation();
  FakeGameServer server;
  // The password check is answered, the passes' status queries never are.
  server.setResponder([](const FakeDatagram& d) {
    return d.bytes == tarvix::rconRequest("pw", "status")
               ? FakeAnswer::reply(makePrintReply("\nmap: dm/mohdm1\n"))
               : FakeAnswer::silence();
  });
  for (auto _ : state) {
    state.PauseTiming();
    stop.reset();
    WatchSettings s;
    s.host = FakeGameServer::host();
    s.port = server.portText();
    s.password = "pw";
    s.announce = true;
    s.everySeconds = 1;
    s.scanTimeout = 60000;
    s.timing.scaled = [](int ms) { return ms == 1000 ? 0 : ms; };  // announcer at once
    WatchDaemon daemon(s, [](std::string_view, std::string_view) {});
    const std::size_t before = server.receivedCount();
    std::thread run([&] { daemon.run(stop); });
    // Check, anti-cheat query, check, announcer query: both passes wait.
    server.waitForCount(before + 4, 10000);
    state.ResumeTiming();
    ::kill(::getpid(), SIGTERM);
    run.join();
  }
}
BENCHMARK(BM_WatchStopOnSigterm)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
