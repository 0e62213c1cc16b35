#pragma once
// The window lives in a module of its own (tarvix-window.so), loaded only
// when the window opens, so that a headless run loads no window library.
#include "app/CommandLine.h"

namespace tarvix {

inline constexpr const char* kWindowModule = "tarvix-window.so";
// The module's one entry (WindowEntry.cpp): it makes the application object,
// asks the program to enter the data folder (an error message, or null) and
// runs the window until it closes; with `recordHistory` false (--no-history)
// nothing goes into the history.
inline constexpr const char* kRunWindowSymbol = "tarvixRunWindow";
using EnterDataFolder = const char* (*)();
using RunWindowFunction = int (*)(int* argc, char** argv, EnterDataFolder enterDataFolder,
                                  bool recordHistory);

// Loads the window module beside the program (a build tree) or where the
// installation puts it, and runs the window until it closes; its exit code,
// or 1 with the reason on standard error when the module cannot be loaded.
int runWindow(int& argc, char** argv, const CommandLine& commandLine);

}  // namespace tarvix
