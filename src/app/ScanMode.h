#pragma once
// --scan [LIST]: one scan pass over the current or the named list, printed as
// text or JSON; the buddy hits are kept for the next pass's "newBuddies".
#include <optional>
#include <string>

#include "app/CommandLine.h"

namespace tarvix {

struct ScanArguments {
  std::optional<std::string> list;  // a list name instead of the current list
  std::optional<int> timeoutMs;
  std::optional<int> parallel;  // queries in flight; none: one at a time
  int retries = 0;              // requests after the first to a silent server
  bool json = false;
  bool history = true;  // the pass goes into the history unless --no-history
};

extern const ModeUnit scanMode;

}  // namespace tarvix
