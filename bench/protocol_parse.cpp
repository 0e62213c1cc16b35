// Parsing a 64-player status reply the way a scan and a row selection read it.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "protocol/StatusReply.h"
#include "support/FakeGameServer.h"

namespace {

std::string reply64() {
  std::vector<std::pair<int, std::string>> players;
  for (int i = 0; i < 64; ++i)
    players.emplace_back(20 + i, "^" + std::to_string(i % 8) + "Player" + std::to_string(i));
  return tarvix::test::makeStatusReply(
      "\\sv_hostname\\^1Benchmark ^7Server\\gamename\\Medal of Honor Allied Assault"
      "\\sv_maplist\\obj/obj_team1 obj/obj_team2 obj/obj_team3 obj/obj_team4 dm/mohdm1 dm/mohdm2"
      "\\version\\2.40\\URL\\http://www.example.org\\mapname\\obj/obj_team2\\sv_maxclients\\64",
      players);
}

// The scan: marker test, edition, map, maximum, names by the scan rule, full test.
void BM_ScanReading(benchmark::State& state) {
  const std::string raw = reply64();
  for (auto _ : state) {
    bool answered = tarvix::scanAnswered(raw);
    std::string edition = tarvix::editionOf(raw);
    std::string map = tarvix::keyValue(raw, tarvix::kMapNameKey);
    std::string max = tarvix::keyValue(raw, tarvix::kMaxClientsKey);
    std::vector<std::string> names = tarvix::scanPlayerNames(raw);
    bool full = tarvix::isFull(static_cast<long long>(names.size()), max);
    benchmark::DoNotOptimize(answered);
    benchmark::DoNotOptimize(edition);
    benchmark::DoNotOptimize(map);
    benchmark::DoNotOptimize(names);
    benchmark::DoNotOptimize(full);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(raw.size()));
}
BENCHMARK(BM_ScanReading);

// The row selection: validity test, clean-up, every value and the detail rule.
void BM_RowSelectionReading(benchmark::State& state) {
  const std::string raw = reply64();
  for (auto _ : state) {
    bool answered = tarvix::rowSelectionAnswered(raw);
    tarvix::StatusReply r = tarvix::readSelectedReply(raw);
    bool full = tarvix::isFull(r.detailPlayerCount(), r.maxClients);
    benchmark::DoNotOptimize(answered);
    benchmark::DoNotOptimize(r);
    benchmark::DoNotOptimize(full);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(raw.size()));
}
BENCHMARK(BM_RowSelectionReading);

}  // namespace

BENCHMARK_MAIN();
