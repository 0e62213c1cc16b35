#pragma once
// --rcon HOST:PORT PASSWORD COMMAND...: one rcon command and its reply lines.
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace tarvix {

struct RconArguments {
  std::string address;             // HOST:PORT
  std::string password;            // in the data's code page
  std::vector<std::string> words;  // the command, joined by blanks when sent
  std::optional<int> timeoutMs;
};

extern const ModeUnit rconMode;

}  // namespace tarvix
