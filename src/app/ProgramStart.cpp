#include "app/ProgramStart.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "app/core/Headless.h"
#include "base/TerminationSignals.h"
#include "store/DataFolder.h"

namespace tarvix {

namespace {

void write(std::FILE* to, const QByteArray& bytes) {
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), to);
  std::fflush(to);
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
    case ProgramMode::Headless:
      break;
  }

  // The signals are blocked before any thread exists, so each reaches the
  // daemon's stop rather than ending the process half-way.
  StopSignal stop;
  std::optional<TerminationSignals> terminationSignals;
  if (c.unit->stopsOnSignals) terminationSignals.emplace(stop);

  QCoreApplication app(argc, argv);
  std::string error;
  if ((!c.unit->dataFolderOnlyWhenNamed || c.dataFolder) && !useDataFolder(c, error)) {
    std::cerr << error << "\n";
    return 1;
  }
  return c.run({STDIN_FILENO, std::cout, std::cerr}, stop);
}

}  // namespace tarvix
