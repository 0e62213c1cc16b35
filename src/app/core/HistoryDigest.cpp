#include "app/core/HistoryDigest.h"

#include <algorithm>
#include <ctime>
#include <map>

namespace tarvix {

BusyHours busyHours(const std::vector<HistoryPoint>& points) {
  std::array<std::array<double, 24>, 7> total{};
  std::array<std::array<double, 24>, 7> count{};
  for (const HistoryPoint& p : points) {
    // A day's summary says nothing about its hours.
    if (p.span > 3600) continue;
    const std::time_t t = static_cast<std::time_t>(p.time);
    std::tm local{};
    localtime_r(&t, &local);
    const int day = (local.tm_wday + 6) % 7;  // Monday first
    total[day][local.tm_hour] += p.mean * p.count;
    count[day][local.tm_hour] += p.count;
  }
  BusyHours hours;
  for (int d = 0; d < 7; ++d)
    for (int h = 0; h < 24; ++h) hours[d][h] = count[d][h] > 0 ? total[d][h] / count[d][h] : -1;
  return hours;
}

std::vector<MapShare> mapShares(const std::vector<HistoryPoint>& points) {
  std::map<std::string, double> samples;
  double all = 0;
  for (const HistoryPoint& p : points) {
    samples[p.map] += p.count;
    all += p.count;
  }
  std::vector<MapShare> shares;
  for (const auto& [map, n] : samples) shares.push_back({map, n / all});
  std::stable_sort(shares.begin(), shares.end(),
                   [](const MapShare& a, const MapShare& b) { return a.share > b.share; });
  return shares;
}

PlayerPeak playerPeak(const std::vector<HistoryPoint>& points, std::int64_t from) {
  PlayerPeak peak;
  for (const HistoryPoint& p : points) {
    if (p.time + p.span < from) continue;
    peak.players = std::max(peak.players, p.high);
    peak.maxPlayers = std::max(peak.maxPlayers, p.maxPlayers);
  }
  return peak;
}

}  // namespace tarvix
