#pragma once
#include <QString>

namespace tarvix {

// What "debugit /sv" shows of the rest of the program.
struct ProgramStatus {
  QString version;
  bool autoScanOn = false;
  bool scanning = false;
  unsigned long scanThreadId = 0;
};

}  // namespace tarvix
