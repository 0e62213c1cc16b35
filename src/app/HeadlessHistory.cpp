#include "app/HeadlessHistory.h"

#include "app/core/IniSettingsCore.h"

namespace tarvix {

std::unique_ptr<HistoryRecorder> headlessHistory(bool wanted, std::ostream& err) {
  if (!wanted || !IniSettingsCore().historyRecording()) return nullptr;
  return std::make_unique<HistoryRecorder>(
      kHistoryFile, [&err](const std::string& message) { err << "tarvix: " << message << "\n"; });
}

}  // namespace tarvix
