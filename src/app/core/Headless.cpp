#include "app/core/Headless.h"

#include <exception>

#include "app/core/ScanPass.h"
#include "app/core/TerminalText.h"
#include "base/Text.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"
#include "store/Config.h"
#include "store/NameLists.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

constexpr int kQueryFallbackTimeoutMs = 500;
constexpr int kRconTimeoutMs = 10000;

// The command line checks a request before it gets here and owns the usage
// text; a request that still does not hold together names its problem only.
int usageProblem(std::ostream& err, std::string_view problem) {
  err << problem << "\n";
  return kUsageExit;
}

// Config as far as it could be read; an unreadable one waits 500 ms.
Config queryConfig() {
  Config cfg;
  try {
    readConfig(cfg);
  } catch (const std::exception&) {
    cfg.scanTimeout = kQueryFallbackTimeoutMs;
  }
  return cfg;
}

// Missing name lists give no hits; a query is no scan and stops for none.
std::vector<std::string> namesOrNone(const char* file) {
  try {
    return readOptionalNameList(file).value_or(std::vector<std::string>{});
  } catch (const std::exception&) {
    return {};
  }
}

int runRcon(const HeadlessRequest& r, std::ostream& out, std::ostream& err) {
  std::string host, port;
  if (r.words.empty() || !splitAddress(r.address, host, port))
    return usageProblem(err, "--rcon needs HOST:PORT, PASSWORD and a COMMAND");
  std::string command;
  for (std::size_t i = 0; i < r.words.size(); ++i) {
    if (i > 0) command.push_back(' ');
    command += r.words[i];
  }

  UdpClient client;
  client.setServer(host, port);
  // As on the console: a datagram holding "quit" awaits no reply.
  if (!rconAwaitsReply(r.password, command)) {
    UdpResult sent = sendRcon(client, r.password, command);
    if (sent.failed()) {
      err << sent.error << "\n";
      return 1;
    }
    out << "no response from server\n";
    return 0;
  }
  UdpResult reply = rconQuery(client, r.password, command, r.timeoutMs.value_or(kRconTimeoutMs));
  if (reply.failed()) {
    err << reply.error << "\n";
    return 1;
  }
  if (reply.bytes.empty()) {
    out << "no response from server\n";
    return 1;
  }
  for (const auto& line : replyLines(reply.bytes)) out << terminalText(line) << "\n";
  out.flush();
  if (rconAccess(reply.bytes) == RconAccess::Refused) {
    err << "the server refused the rcon password\n";
    return kRconPasswordRefused;
  }
  return 0;
}

}  // namespace

bool splitAddress(std::string_view text, std::string& host, std::string& port) {
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) return false;
  host = std::string(text.substr(0, colon));
  port = std::string(text.substr(colon + 1));
  return true;
}

QueryOutcome queryServer(const std::string& host, const std::string& port,
                         std::optional<int> timeoutMs) {
  QueryOutcome q;
  q.host = host;
  q.port = port;
  const Config cfg = queryConfig();
  UdpClient client;
  UdpResult r = queryStatus(client, host, port, timeoutMs.value_or(cfg.scanTimeout));
  if (r.failed()) q.error = r.error;
  const std::string raw = r.ok() ? r.bytes : std::string();
  q.answered = rowSelectionAnswered(raw);
  if (!q.answered) return q;
  q.reply = readSelectedReply(raw);
  const std::vector<std::string> buddies = namesOrNone(kBuddiesFile);
  const std::vector<std::string> clantags = namesOrNone(kClantagsFile);
  for (const Player& p : q.reply.players) {
    if (p.name.empty()) continue;
    for (std::string& caption : buddyHits(buddies, clantags, cfg.clantagsOn, p.name))
      q.buddies.push_back({std::move(caption), host + ":" + port});
  }
  return q;
}

int printQuery(const QueryOutcome& q, std::ostream& out, std::ostream& err) {
  if (!q.answered) {
    err << (q.error.empty() ? "no response" : q.error) << "\n";
    return 1;
  }
  const StatusReply& s = q.reply;
  // Server text is shown with control bytes escaped: one value, one line.
  out << "hostname\t" << terminalText(s.hostName) << "\n"
      << "map\t" << terminalText(s.mapName) << "\n"
      << "maxclients\t" << terminalText(s.maxClients) << "\n"
      << "edition\t" << s.edition << "\n"
      << "version\t" << terminalText(s.version) << "\n"
      << "maplist\t" << terminalText(s.mapList) << "\n"
      << "link\t" << terminalText(s.link) << "\n";
  for (const auto& p : s.players)
    out << "player\t" << terminalText(p.ping) << "\t" << terminalText(p.name) << "\n";
  out.flush();
  return 0;
}

ScanOutcome scanList(const std::optional<std::string>& list, std::optional<int> timeoutMs,
                     std::optional<int> parallel, int retries, bool keepReplies) {
  Config cfg;
  std::optional<std::string> problem;
  try {
    readConfig(cfg);
  } catch (const ConfigError& e) {
    // Only the time-out line is unreadable (the lines before it are read):
    // a time-out of the command line replaces it.
    if (!timeoutMs) problem = e.what();
  } catch (const std::exception& e) {
    problem = e.what();
  }
  if (problem) {
    ScanOutcome failed;
    failed.exitCode = 1;
    failed.error = *problem;
    return failed;
  }
  HeadlessScanSettings scan;
  scan.serverListPath = list ? serverListPathFor(*list) : cfg.serverListPath;
  scan.scanTimeout = timeoutMs.value_or(cfg.scanTimeout);
  scan.clantagsOn = cfg.clantagsOn;
  scan.parallelQueries = parallel.value_or(0);
  scan.retries = retries;
  scan.keepReplies = keepReplies;
  return runScanPass(scan);
}

int runHeadless(const HeadlessRequest& r, std::ostream& out, std::ostream& err) {
  switch (r.mode) {
    case HeadlessMode::Query: {
      std::string host, port;
      if (!splitAddress(r.address, host, port)) return usageProblem(err, "--query needs HOST:PORT");
      return printQuery(queryServer(host, port, r.timeoutMs), out, err);
    }
    case HeadlessMode::Rcon:
      return runRcon(r, out, err);
    case HeadlessMode::Scan:
      break;
  }
  return printScan(scanList(r.list, r.timeoutMs, r.parallel, 0, false), out, err);
}

}  // namespace tarvix
