#pragma once
// The program's command line: which mode runs (the window, or one of the
// headless modes), with what, and in which data folder.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "admin/core/WatchDaemon.h"
#include "app/core/Headless.h"

namespace tarvix {

enum class ProgramMode { Window, Query, Scan, Rcon, Watch, Help, Version, UsageError };

struct CommandLine {
  ProgramMode mode = ProgramMode::Window;
  HeadlessRequest headless;  // Query, Scan, Rcon
  WatchSettings watch;       // Watch
  bool json = false;
  std::optional<std::string> dataFolder;  // --data DIR, in the system's file name encoding
  QString problem;                        // UsageError: what was wrong
};

// `arguments` holds the program name first, as QCoreApplication::arguments()
// does. Qt's own window options (-platform, -style, ...) are accepted.
CommandLine parseCommandLine(const QStringList& arguments);

// Arguments of main() as text in the system's encoding.
QStringList argumentList(int argc, char** argv);

QString usageText();
QString versionText();

}  // namespace tarvix
