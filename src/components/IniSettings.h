#pragma once
// Settings the twelve lines of Config do not hold, in "tarvix.ini" beside it
// in the data folder (an INI file through QSettings): the opt-in buddy
// alerts and parallel scan, and the hits of the last headless scan of each
// list, so that a script's next --scan can tell which hits are new.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/HeadlessScan.h"

namespace tarvix {

inline constexpr const char* kIniSettingsFile = "tarvix.ini";

class IniSettings {
 public:
  // A relative path is taken in the data folder (the current directory).
  explicit IniSettings(QString path = QString::fromLatin1(kIniSettingsFile));

  // Off unless the user turned it on.
  bool buddyAlerts() const;
  void setBuddyAlerts(bool on);
  // "scan servers in parallel" (Options): off unless the user turned it on.
  bool parallelScan() const;
  void setParallelScan(bool on);

  // The buddy rows of the last completed headless pass over the list at
  // `listPath` ("Serverlists\Name"); none before the first.
  std::vector<HeadlessBuddy> lastScanHits(std::string_view listPath) const;
  void setLastScanHits(std::string_view listPath, const std::vector<HeadlessBuddy>& hits);

 private:
  QString path_;
};

}  // namespace tarvix
