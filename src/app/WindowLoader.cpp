#include "app/WindowLoader.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "app/ProgramStart.h"

#ifndef TARVIX_WINDOW_DIR
#define TARVIX_WINDOW_DIR "."
#endif

namespace tarvix {

namespace {

const CommandLine* windowCommandLine = nullptr;

// Called by the window once its application object exists, as before the split.
const char* enterWindowDataFolder() {
  static std::string error;
  return useDataFolder(*windowCommandLine, error) ? nullptr : error.c_str();
}

// The module's entry, or nullptr with dlerror()'s reason added to `problems`.
RunWindowFunction loadEntry(const std::filesystem::path& module, std::string& problems) {
  void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle) {
    if (void* entry = ::dlsym(handle, kRunWindowSymbol))
      return reinterpret_cast<RunWindowFunction>(entry);
  }
  problems += std::string("\n  ") + ::dlerror();
  return nullptr;
}

}  // namespace

int runWindow(int& argc, char** argv, const CommandLine& commandLine) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path programDir = fs::read_symlink("/proc/self/exe", ec).parent_path();
  std::string problems;
  if (ec) problems = "\n  /proc/self/exe: " + ec.message();
  // Beside the program in a build tree; in ${libdir}/tarvix when installed.
  for (const fs::path& dir : {programDir, programDir / TARVIX_WINDOW_DIR}) {
    if (ec) break;
    if (const RunWindowFunction run = loadEntry(dir / kWindowModule, problems)) {
      windowCommandLine = &commandLine;
      return run(&argc, argv, enterWindowDataFolder, commandLine.recordHistory);
    }
  }
  std::cerr << "tarvix: the window cannot be opened: its module " << kWindowModule
            << " was not found or cannot be loaded:" << problems
            << "\nThe headless modes work without it (tarvix --help).\n";
  return 1;
}

}  // namespace tarvix
