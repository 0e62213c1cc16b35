#pragma once
// Buddy alerts of the window: after every completed scan pass (automatic or
// by hand) the hits the previous pass did not have are announced, when the
// opt-in setting in tarvix.ini is on. The first pass after the start
// announces every hit it finds.
#include <QString>
#include <functional>
#include <vector>

#include "app/core/HeadlessScan.h"
#include "components/IniSettings.h"

namespace tarvix {

class BuddyAlerter {
 public:
  // Shows one notification: a title and its lines.
  using Notify = std::function<void(const QString& title, const QString& text)>;

  explicit BuddyAlerter(Notify notify, IniSettings settings = IniSettings());

  // The buddy view's rows (caption, server) at the end of a completed pass.
  // Returns the hits announced (none while alerts are off).
  std::vector<HeadlessBuddy> passFinished(const std::vector<HeadlessBuddy>& hits);

 private:
  Notify notify_;
  IniSettings settings_;
  std::vector<HeadlessBuddy> previous_;
};

}  // namespace tarvix
