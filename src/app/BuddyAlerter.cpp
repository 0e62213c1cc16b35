#include "app/BuddyAlerter.h"

#include <utility>

#include "app/core/BuddyAlerts.h"
#include "components/QtText.h"

namespace tarvix {

BuddyAlerter::BuddyAlerter(Notify notify, IniSettings settings)
    : notify_(std::move(notify)), settings_(std::move(settings)) {}

std::vector<HeadlessBuddy> BuddyAlerter::passFinished(const std::vector<HeadlessBuddy>& hits) {
  // The previous pass is remembered while alerts are off too, so turning
  // them on does not announce everyone already online.
  std::vector<HeadlessBuddy> fresh = newBuddyHits(previous_, hits);
  previous_ = hits;
  if (fresh.empty() || !settings_.buddyAlerts()) return {};
  if (notify_) notify_(QStringLiteral("Tarvix"), toQString(buddyAlertText(fresh)));
  return fresh;
}

}  // namespace tarvix
