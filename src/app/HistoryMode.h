#pragma once
// --history HOST:PORT [--days N]: what the history holds of one server over
// the last N days (1 unless given), as text or JSON.
#include <string>

#include "app/CommandLine.h"

namespace tarvix {

inline constexpr int kMaxHistoryDays = 730;

struct HistoryArguments {
  std::string address;  // HOST:PORT, as the scans recorded it
  int days = 1;
  bool json = false;
};

extern const ModeUnit historyMode;

}  // namespace tarvix
