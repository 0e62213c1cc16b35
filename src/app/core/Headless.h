#pragma once
// Headless mode of the program: one status query, one scan pass or one rcon
// command, results on standard output, no window. The command line is parsed
// above this layer; these functions take the parsed request.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/HeadlessScan.h"
#include "protocol/StatusReply.h"

namespace tarvix {

inline constexpr int kUsageExit = 2;

enum class HeadlessMode { Query, Scan, Rcon };

struct HeadlessRequest {
  HeadlessMode mode = HeadlessMode::Query;
  std::string address;              // HOST:PORT (query, rcon)
  std::string password;             // rcon
  std::vector<std::string> words;   // rcon command words, joined by blanks
  std::optional<std::string> list;  // scan: a list name instead of the current list
  std::optional<int> timeoutMs;
  std::optional<int> parallel;  // scan: queries in flight; none: one at a time
};

// Splits HOST:PORT at the first colon; false when either side is empty.
bool splitAddress(std::string_view text, std::string& host, std::string& port);

// The reply of one status query, read as a row selection reads it, and the
// buddy and clan-tag hits among its players (server: HOST:PORT).
struct QueryOutcome {
  std::string host;
  std::string port;
  bool answered = false;
  std::string error;  // why the query could not be sent (an invalid port, an unknown host)
  StatusReply reply;
  std::vector<HeadlessBuddy> buddies;
};
QueryOutcome queryServer(const std::string& host, const std::string& port,
                         std::optional<int> timeoutMs);

// One scan pass over the current or the named list, with the time-out of
// Config unless one is given, `parallel` queries in flight when given, and
// `retries` more requests to a server that stays silent.
// keepReplies: the rows carry the replies' bytes (for JSON and history).
ScanOutcome scanList(const std::optional<std::string>& list, std::optional<int> timeoutMs,
                     std::optional<int> parallel = std::nullopt, int retries = 0,
                     bool keepReplies = true);

// --rcon's exit code when the server answers "Bad rconpassword.".
inline constexpr int kRconPasswordRefused = 4;

// Runs the request and prints the tab-separated text output. Returns the
// exit code (2 for a usage error).
int runHeadless(const HeadlessRequest& request, std::ostream& out, std::ostream& err);

// Prints the tab-separated text of a finished query, server text as
// terminalText writes it; returns its exit code.
int printQuery(const QueryOutcome& q, std::ostream& out, std::ostream& err);

}  // namespace tarvix
