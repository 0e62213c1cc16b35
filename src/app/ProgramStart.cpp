#include "app/ProgramStart.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <utility>

#include "app/JsonOutput.h"
#include "app/core/BuddyAlerts.h"
#include "base/TerminationSignals.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "store/Config.h"
#include "store/DataFolder.h"

namespace tarvix {

namespace {

void write(std::FILE* to, const QByteArray& bytes) {
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), to);
  std::fflush(to);
}

// Keeps the buddy rows of a completed pass for the next one; returns those
// the previous pass over the same list did not have.
std::vector<HeadlessBuddy> recordHits(const ScanOutcome& scan) {
  if (scan.exitCode != 0 || !scan.ran) return {};
  IniSettings settings;
  std::vector<HeadlessBuddy> fresh =
      newBuddyHits(settings.lastScanHits(scan.listPath), scan.buddies);
  settings.setLastScanHits(scan.listPath, scan.buddies);
  return fresh;
}

int runQueryOrScan(const CommandLine& c) {
  if (c.mode == ProgramMode::Scan && !c.json) {
    const ScanOutcome s = scanList(c.headless.list, c.headless.timeoutMs, c.headless.parallel);
    recordHits(s);
    return printScan(s, std::cout, std::cerr);
  }
  if (!c.json) return runHeadless(c.headless, std::cout, std::cerr);
  if (c.mode == ProgramMode::Query) {
    std::string host, port;
    splitAddress(c.headless.address, host, port);
    const QueryOutcome q = queryServer(host, port, c.headless.timeoutMs);
    write(stdout, queryJson(q));
    return q.answered ? 0 : 1;
  }
  const ScanOutcome s = scanList(c.headless.list, c.headless.timeoutMs, c.headless.parallel);
  write(stdout, scanJson(s, recordHits(s)));
  if (s.exitCode != 0) std::cerr << s.error << "\n";
  return s.exitCode;
}

int runWatch(WatchSettings settings, const StopSignal& stop) {
  // "-" takes the password from the first line of standard input, which keeps
  // it out of the process list.
  if (settings.password == "-") {
    std::string line;
    std::optional<std::string> password;
    if (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      password = toCodePageBytes(QString::fromLocal8Bit(line.data(), qsizetype(line.size())));
    }
    if (!password || password->empty()) {
      std::cerr << "tarvix: --watch with the password \"-\" needs it on the first line of standard "
                   "input, in characters the server can take\n";
      return 2;
    }
    settings.password = *password;
  }
  Config cfg;
  try {
    readConfig(cfg);
  } catch (const std::exception&) {
    cfg.scanTimeout = 500;
  }
  settings.scanTimeout = cfg.scanTimeout;
  WatchDaemon daemon(std::move(settings), [](std::string_view source, std::string_view text) {
    QByteArray line = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss").toUtf8();
    line += ' ';
    line += QByteArray(source.data(), static_cast<qsizetype>(source.size()));
    line += ' ';
    line += toQString(text).toUtf8();
    line += '\n';
    write(stdout, line);
  });
  daemon.run(stop);
  return 0;
}

}  // namespace

bool useDataFolder(const CommandLine& c, std::string& error) {
  std::optional<std::filesystem::path> chosen;
  if (c.dataFolder) chosen = std::filesystem::path(*c.dataFolder);
  const DataFolderChoice choice = chooseDataFolder(systemDataFolderPlaces(chosen));
  if (!choice.error.empty()) {
    error = choice.error;
    return false;
  }
  return enterDataFolder(choice.folder, error);
}

std::optional<int> runWithoutWindow(const CommandLine& c, int argc, char** argv) {
  switch (c.mode) {
    case ProgramMode::Window:
      return std::nullopt;
    case ProgramMode::Help:
      write(stdout, usageText().toLocal8Bit());
      return 0;
    case ProgramMode::Version:
      write(stdout, versionText().toLocal8Bit());
      return 0;
    case ProgramMode::UsageError:
      write(stderr, (c.problem + "\n" + usageText()).toLocal8Bit());
      return kUsageExit;
    default:
      break;
  }

  // The signals are blocked before any thread exists, so each reaches the
  // daemon's stop rather than ending the process half-way.
  StopSignal stop;
  std::optional<TerminationSignals> terminationSignals;
  if (c.mode == ProgramMode::Watch) terminationSignals.emplace(stop);

  QCoreApplication app(argc, argv);
  std::string error;
  // An rcon command reads no data file: it needs a data folder only when named.
  if ((c.mode != ProgramMode::Rcon || c.dataFolder) && !useDataFolder(c, error)) {
    std::cerr << error << "\n";
    return 1;
  }
  if (c.mode == ProgramMode::Watch) return runWatch(c.watch, stop);
  return runQueryOrScan(c);
}

}  // namespace tarvix
