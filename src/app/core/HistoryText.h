#pragma once
// A server's history as text: one line per point (local time, span, the
// least, mean and most players, the maximum, the map), then one line per
// buddy or clan member seen there.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "store/History.h"

namespace tarvix {

inline constexpr const char* kNoHistoryText = "no history yet";

// "2026-12-08 14:05" in local time.
std::string localTimeText(std::int64_t time);
// "sample", "10 min", "hour" or "day".
std::string spanText(int span);

// What --history prints; returns its exit code (1 when there is nothing).
int printHistory(const std::string& address, const std::vector<HistoryPoint>& points,
                 const std::vector<LastSighting>& seen, std::ostream& out, std::ostream& err);

}  // namespace tarvix
