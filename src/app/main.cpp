#include <optional>

#include "app/CommandLine.h"
#include "app/ProgramStart.h"
#include "app/WindowLoader.h"

int main(int argc, char** argv) {
  // Help, version, usage errors and the headless modes need no display and
  // load no window library.
  const tarvix::CommandLine commandLine =
      tarvix::parseCommandLine(tarvix::argumentList(argc, argv));
  if (std::optional<int> rc = tarvix::runWithoutWindow(commandLine)) return *rc;
  return tarvix::runWindow(argc, argv, commandLine);
}
