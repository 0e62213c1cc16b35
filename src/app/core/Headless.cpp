#include "app/core/Headless.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "app/core/HeadlessScan.h"
#include "app/core/ScanPass.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"
#include "protocol/StatusReply.h"
#include "store/Config.h"
#include "store/ServerLists.h"
#include "base/Text.h"

namespace tarvix {

namespace {

constexpr int kQueryFallbackTimeoutMs = 500;
constexpr int kRconTimeoutMs = 10000;
constexpr int kUsageExit = 2;

struct Options {
  std::string mode;  // "--query", "--rcon", "--scan"
  std::vector<std::string> positional;
  std::optional<int> timeoutMs;
  std::optional<int> parallel;
};

bool isSwitch(std::string_view a) { return a == "--query" || a == "--rcon" || a == "--scan"; }

int usage(std::ostream& err, std::string_view problem) {
  err << problem << "\n"
      << "usage: tarvix --query HOST:PORT [--timeout MS]\n"
      << "       tarvix --rcon HOST:PORT PASSWORD COMMAND... (--timeout MS before COMMAND)\n"
      << "       tarvix --scan [LIST] [--parallel [N]]\n";
  return kUsageExit;
}

// Splits HOST:PORT at the first colon.
bool splitAddress(std::string_view text, std::string& host, std::string& port) {
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) return false;
  host = std::string(text.substr(0, colon));
  port = std::string(text.substr(colon + 1));
  return true;
}

// Takes "--parallel [N]" out of the arguments of --scan: N queries in flight,
// the default when no number follows. A list named like a number goes before
// the switch.
bool takeParallel(std::vector<std::string>& args, std::optional<int>& parallel,
                  std::string& problem) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--parallel") continue;
    parallel = kDefaultParallelQueries;
    std::size_t taken = 1;
    long long v = 0;
    if (i + 1 < args.size() && parseInt(args[i + 1], v)) {
      if (v < 1 || v > kMaxParallelQueries) {
        problem = "--parallel takes 1 to " + std::to_string(kMaxParallelQueries) + " queries";
        return false;
      }
      parallel = static_cast<int>(v);
      taken = 2;
    }
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i + taken));
    return true;
  }
  return true;
}

// Reads --timeout MS wherever it stands, except among the rcon command words
// (everything after the password), which are taken verbatim.
bool parse(const std::vector<std::string>& args, Options& o, std::string& problem) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool commandWords = o.mode == "--rcon" && o.positional.size() >= 2;
    if (commandWords) {
      o.positional.push_back(a);
    } else if (a == "--timeout") {
      long long v = 0;
      if (i + 1 >= args.size() || !parseInt(args[i + 1], v) || v < 0 || v > 24LL * 3600 * 1000) {
        problem = "--timeout needs a number of milliseconds";
        return false;
      }
      o.timeoutMs = static_cast<int>(v);
      ++i;
    } else if (o.mode.empty() && isSwitch(a)) {
      o.mode = a;
    } else if (o.mode.empty()) {
      problem = "unexpected argument before the mode: " + a;
      return false;
    } else {
      o.positional.push_back(a);
    }
  }
  return true;
}

int queryTimeoutFromConfig() {
  try {
    Config cfg;
    readConfig(cfg);
    return cfg.scanTimeout;
  } catch (const std::exception&) {
    return kQueryFallbackTimeoutMs;
  }
}

int runQuery(const Options& o, std::ostream& out, std::ostream& err) {
  std::string host, port;
  if (o.positional.size() != 1 || !splitAddress(o.positional[0], host, port))
    return usage(err, "--query needs HOST:PORT");
  const int timeout = o.timeoutMs ? *o.timeoutMs : queryTimeoutFromConfig();

  UdpClient client;
  UdpResult r = queryStatus(client, host, port, timeout);
  const std::string raw = r.ok() ? r.bytes : std::string();
  if (!rowSelectionAnswered(raw)) {
    err << "no response\n";
    return 1;
  }
  // Server text is shown with control bytes escaped: one value, one line.
  const StatusReply s = readSelectedReply(raw);
  out << "hostname\t" << escapeControls(s.hostName) << "\n"
      << "map\t" << escapeControls(s.mapName) << "\n"
      << "maxclients\t" << escapeControls(s.maxClients) << "\n"
      << "edition\t" << s.edition << "\n"
      << "version\t" << escapeControls(s.version) << "\n"
      << "maplist\t" << escapeControls(s.mapList) << "\n"
      << "link\t" << escapeControls(s.link) << "\n";
  for (const auto& p : s.players)
    out << "player\t" << escapeControls(p.ping) << "\t" << escapeControls(p.name) << "\n";
  out.flush();
  return 0;
}

int runRcon(const Options& o, std::ostream& out, std::ostream& err) {
  std::string host, port;
  if (o.positional.size() < 3 || !splitAddress(o.positional[0], host, port))
    return usage(err, "--rcon needs HOST:PORT, PASSWORD and a COMMAND");
  const std::string& password = o.positional[1];
  std::string command;
  for (std::size_t i = 2; i < o.positional.size(); ++i) {
    if (i > 2) command.push_back(' ');
    command += o.positional[i];
  }

  UdpClient client;
  client.setServer(host, port);
  // As on the console: a datagram holding "quit" awaits no reply.
  if (!rconAwaitsReply(password, command)) {
    UdpResult sent = sendRcon(client, password, command);
    if (sent.failed()) {
      err << sent.error << "\n";
      return 1;
    }
    out << "no response from server\n";
    return 0;
  }
  UdpResult r = rconQuery(client, password, command, o.timeoutMs ? *o.timeoutMs : kRconTimeoutMs);
  if (r.failed()) {
    err << r.error << "\n";
    return 1;
  }
  if (r.bytes.empty()) {
    out << "no response from server\n";
    return 1;
  }
  for (const auto& line : replyLines(r.bytes)) out << escapeControls(line) << "\n";
  out.flush();
  return 0;
}

}  // namespace

std::optional<int> runHeadless(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err) {
  bool any = false;
  for (const auto& a : args) any = any || isSwitch(a);
  if (!any) return std::nullopt;

  Options o;
  std::string problem;
  std::vector<std::string> rest = args;
  if (std::find(args.begin(), args.end(), "--rcon") == args.end() &&
      !takeParallel(rest, o.parallel, problem))
    return usage(err, problem);
  if (!parse(rest, o, problem)) return usage(err, problem);
  if (o.parallel && o.mode != "--scan") return usage(err, "--parallel goes with --scan");
  if (o.mode == "--query") return runQuery(o, out, err);
  if (o.mode == "--rcon") return runRcon(o, out, err);

  // ---- --scan [LIST] --------------------------------------------------
  // One pass of the scan worker over the current list (or the named one).
  if (o.positional.size() > 1) return usage(err, "--scan takes at most one LIST");
  Config cfg;
  try {
    readConfig(cfg);
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    return 1;
  }
  HeadlessScanSettings scan;
  scan.serverListPath =
      o.positional.empty() ? cfg.serverListPath : serverListPathFor(o.positional[0]);
  scan.scanTimeout = o.timeoutMs ? *o.timeoutMs : cfg.scanTimeout;
  scan.clantagsOn = cfg.clantagsOn;
  scan.parallelQueries = o.parallel.value_or(0);
  return runHeadlessScan(scan, out, err);
}

}  // namespace tarvix
