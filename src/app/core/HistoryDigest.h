#pragma once
// What the history window shows of a server, worked out from its points:
// the busy hours of the week and the share of time each map ran.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/History.h"

namespace tarvix {

// Mean players in each hour of the week (local time), Monday first; -1
// where nothing was recorded.
using BusyHours = std::array<std::array<double, 24>, 7>;
BusyHours busyHours(const std::vector<HistoryPoint>& points);

struct MapShare {
  std::string map;
  double share = 0;  // of the samples, 0 to 1
};
// Maps by the share of the samples they ran in, most first.
std::vector<MapShare> mapShares(const std::vector<HistoryPoint>& points);

// The most players any point saw, and the largest maximum.
struct PlayerPeak {
  int players = 0;
  int maxPlayers = 0;
};
PlayerPeak playerPeak(const std::vector<HistoryPoint>& points, std::int64_t from);

}  // namespace tarvix
