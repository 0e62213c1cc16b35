#include "app/ScanMode.h"

#include <ostream>

#include "app/HeadlessHistory.h"
#include "app/JsonOutput.h"
#include "app/core/BuddyAlerts.h"
#include "app/core/Headless.h"
#include "app/core/HistoryPasses.h"
#include "app/core/IniSettingsCore.h"
#include "app/core/ScanPass.h"
#include "app/core/TerminalText.h"

namespace tarvix {

namespace {

std::any parse(const ModeArguments& arguments) {
  ScanArguments s;
  s.timeoutMs = timeoutArgument(arguments);
  const std::vector<std::string>& positional = arguments.positional();
  if (positional.size() > 1) throw UsageProblem{"--scan takes at most one LIST"};
  if (!positional.empty())
    s.list = dataBytes(positional.front(), "the list name holds a character the data cannot hold");
  s.parallel = parallelArgument(arguments);
  s.retries = arguments
                  .number("retries", 0, kMaxScanRetries,
                          "--retries takes 0 to " + std::to_string(kMaxScanRetries))
                  .value_or(0);
  s.json = arguments.isSet("json");
  s.history = !arguments.isSet("no-history");
  return s;
}

// Keeps the buddy rows of a completed pass for the next one; returns those
// the previous pass over the same list did not have.
std::vector<HeadlessBuddy> recordHits(const ScanOutcome& scan) {
  if (scan.exitCode != 0 || !scan.ran) return {};
  IniSettingsCore settings;
  const std::vector<HeadlessBuddy> previous = settings.lastScanHits(scan.listPath);
  std::vector<HeadlessBuddy> fresh = newBuddyHits(previous, scan.buddies);
  // The same hits as last time: tarvix.ini is not written again.
  if (previous != scan.buddies) settings.setLastScanHits(scan.listPath, scan.buddies);
  return fresh;
}

int run(const std::any& parsed, ModeStreams streams, const StopSignal&) {
  const auto& s = std::any_cast<const ScanArguments&>(parsed);
  const auto history = headlessHistory(s.history, streams.err);
  // The text output prints no reply: without JSON and history none is kept.
  const ScanOutcome scan =
      scanList(s.list, s.timeoutMs, s.parallel, s.retries, s.json || history != nullptr);
  if (history && scan.ran) history->record(scanHistory(historyNow(), scan.rows, scan.buddies));
  const std::vector<HeadlessBuddy> fresh = recordHits(scan);
  if (!s.json) return printScan(scan, streams.out, streams.err);
  writeScanJson(scan, fresh, streams.out);
  streams.out << std::flush;
  if (scan.exitCode != 0) streams.err << terminalText(scan.error) << "\n";
  return scan.exitCode;
}

}  // namespace

const ModeUnit scanMode{.name = "scan", .parse = parse, .run = run};

}  // namespace tarvix
