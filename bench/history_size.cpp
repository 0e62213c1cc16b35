// The history's size and cost, printed as figures:
//   bench_history_size [FOLDER]   a year of 1 000 servers scanned every 125 s,
//                                 then passes of 10 000 servers
//   bench_history_size --demo DIR a month of one busy server on 127.0.0.1 for
//                                 the README's picture
// The year is simulated with a fake clock: every tier is filled with the
// points it holds in steady state (a pass per 10 minutes where 10-minute
// summaries are kept, per hour where hourly ones are, per day where daily
// ones are, every 125 s for the raw day), each through the recording path,
// which folds them as they age. Its summaries count one sample each, so
// their sums are a byte or so shorter than a real year's.
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/History.h"

using namespace tarvix;

namespace {

constexpr std::int64_t kDay = 86400;

double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

std::int64_t fileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// Players follow the hour of the day: busy evenings, empty mornings.
int playersAt(std::int64_t time, int server, std::mt19937& rng) {
  const double hour = static_cast<double>((time / 3600 + server) % 24);
  const double busy = 0.5 + 0.5 * std::cos((hour - 21) / 24 * 2 * M_PI);
  return std::clamp(static_cast<int>(busy * 30 + std::normal_distribution<>(0, 3)(rng)), 0, 32);
}

HistoryPass passAt(std::int64_t time, int servers, std::mt19937& rng) {
  static const char* const maps[] = {"dm/mohdm1",     "dm/mohdm2",     "dm/mohdm3",
                                     "dm/mohdm4",     "dm/mohdm6",     "obj/obj_team1",
                                     "obj/obj_team2", "obj/obj_team3", "obj/obj_team4"};
  HistoryPass pass;
  pass.time = time;
  for (int s = 0; s < servers; ++s)
    pass.servers.push_back(
        {"127.0." + std::to_string(s / 250) + "." + std::to_string(s % 250) + ":12203",
         "Server " + std::to_string(s), playersAt(time, s, rng), 32, maps[(time / 1800 + s) % 9],
         "Medal of Honor", 20 + s % 80});
  if (servers > 0) pass.sightings.push_back({"Sniper", pass.servers[0].address});
  return pass;
}

void year(const std::string& folder) {
  const std::string path = folder + "/year.sqlite";
  std::filesystem::remove(path);
  std::mt19937 rng(7);
  const std::int64_t now = 20833 * kDay;
  History h(path);
  // Where each tier's points start, oldest first, and the step that fills it.
  const struct {
    std::int64_t from, step;
  } regions[] = {
      {now - 365 * kDay, kDay}, {now - 43 * kDay, 3600}, {now - 8 * kDay, 600}, {now - kDay, 125}};
  double cpu = 0;
  int passes = 0;
  for (std::size_t r = 0; r < std::size(regions); ++r) {
    const std::int64_t end = r + 1 < std::size(regions) ? regions[r + 1].from : now;
    for (std::int64_t t = regions[r].from; t < end; t += regions[r].step, ++passes) {
      const HistoryPass pass = passAt(t, 1000, rng);
      const double before = cpuMs();
      h.record(pass);
      cpu += cpuMs() - before;
    }
  }
  h.age(now);
  const double mb = (fileSize(path) + fileSize(path + "-wal")) / 1e6;
  std::printf(
      "year of 1 000 servers every 125 s: %d passes simulated, file %.1f MB "
      "(goal: under 200), %.1f ms processor time per pass on average\n",
      passes, mb, cpu / passes);
}

void tenThousand(const std::string& folder) {
  const std::string path = folder + "/passes.sqlite";
  std::filesystem::remove(path);
  std::mt19937 rng(7);
  History h(path);
  double total = 0, worst = 0;
  constexpr int kPasses = 20;
  for (int i = 0; i < kPasses; ++i) {
    const HistoryPass pass = passAt(20833 * kDay + i * 125, 10000, rng);
    const double before = cpuMs();
    h.record(pass);
    const double ms = cpuMs() - before;
    total += ms;
    worst = std::max(worst, ms);
  }
  std::printf(
      "pass of 10 000 servers: %.1f ms processor time on average, %.1f ms at most "
      "(goal: under 100)\n",
      total / kPasses, worst);
}

// A month of one server, busy in the evenings, with a buddy seen on it.
void demo(const std::string& folder) {
  const std::string path = folder + "/" + kHistoryFile;
  std::mt19937 rng(3);
  History h(path);
  const std::int64_t now = static_cast<std::int64_t>(::time(nullptr));
  for (std::int64_t t = now - 31 * kDay; t <= now; t += t < now - kDay ? 600 : 125) {
    HistoryPass pass = passAt(t, 1, rng);
    pass.servers[0].address = "127.0.0.1:12203";
    pass.servers[0].name = "Alpha Busy Server";
    pass.servers[0].maxPlayers = 32;
    pass.sightings.clear();
    // Two buddies who play in the evenings.
    if (pass.servers[0].players > 20) pass.sightings.push_back({"Sniper", "127.0.0.1:12203"});
    if (pass.servers[0].players > 28) pass.sightings.push_back({"[TAG]Medic", "127.0.0.1:12203"});
    h.record(pass);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--demo") {
    demo(argv[2]);
    return 0;
  }
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  year(folder);
  tenThousand(folder);
  return 0;
}
