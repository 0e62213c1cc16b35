#pragma once
// Headless mode of the program: one query or one rcon command from the
// command line, results on standard output, no window.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvix {

// args are argv[1..]. Returns nullopt when they hold no headless switch
// (the window starts), otherwise the exit code after the work is done.
//   --query HOST:PORT [--timeout MS]
//   --rcon HOST:PORT PASSWORD COMMAND...   [--timeout MS before COMMAND]
//   --scan [LIST] [--parallel [N]]
std::optional<int> runHeadless(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err);

}  // namespace tarvix
