#include "app/ProgramStart.h"

#include <malloc.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "app/core/Headless.h"
#include "base/TerminationSignals.h"
#include "store/DataFolder.h"

namespace tarvix {

namespace {

void write(std::FILE* to, const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), to);
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

std::optional<int> runWithoutWindow(const CommandLine& c) {
  switch (c.mode) {
    case ProgramMode::Window:
      return std::nullopt;
    case ProgramMode::Help:
      write(stdout, usageText());
      return 0;
    case ProgramMode::Version:
      write(stdout, versionText());
      return 0;
    case ProgramMode::UsageError:
      write(stderr, c.problem + "\n" + usageText());
      return kUsageExit;
    case ProgramMode::Headless:
      break;
  }

  // One heap for every thread: a pass's thread would otherwise fill an arena
  // of its own that the output, written on this thread, cannot reuse.
  mallopt(M_ARENA_MAX, 1);

  // The signals are blocked before any thread exists, so each reaches the
  // daemon's stop rather than ending the process half-way.
  StopSignal stop;
  std::optional<TerminationSignals> terminationSignals;
  if (c.unit->stopsOnSignals) terminationSignals.emplace(stop);

  // The user's locale, as the Qt application object these modes had set it.
  std::setlocale(LC_ALL, "");
  std::string error;
  if ((!c.unit->dataFolderOnlyWhenNamed || c.dataFolder) && !useDataFolder(c, error)) {
    std::cerr << error << "\n";
    return 1;
  }
  return c.run({STDIN_FILENO, std::cout, std::cerr}, stop);
}

}  // namespace tarvix
