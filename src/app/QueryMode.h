#pragma once
// --query HOST:PORT: one status query, printed as text or JSON.
#include <optional>
#include <string>

#include "app/CommandLine.h"

namespace tarvix {

struct QueryArguments {
  std::string address;  // HOST:PORT
  std::optional<int> timeoutMs;
  bool json = false;
};

extern const ModeUnit queryMode;

}  // namespace tarvix
