#pragma once
// What main() does before (or instead of) the window: help, version, usage
// errors, the data folder, and the headless modes, none of which needs a
// display or loads a window library.
#include <optional>
#include <string>

#include "app/CommandLine.h"

namespace tarvix {

// Runs every mode but the window; nullopt when the window should start.
std::optional<int> runWithoutWindow(const CommandLine& commandLine);

// Chooses the data folder for the command line and makes it the current
// directory; false with `error` set when there is none to use.
bool useDataFolder(const CommandLine& commandLine, std::string& error);

}  // namespace tarvix
