#include "app/core/BuddyAlerts.h"

#include <set>
#include <string_view>
#include <utility>

namespace tarvix {

std::vector<HeadlessBuddy> newBuddyHits(const std::vector<HeadlessBuddy>& previous,
                                        const std::vector<HeadlessBuddy>& current) {
  // Views into both lists, which outlive the set: no caption is copied.
  std::set<std::pair<std::string_view, std::string_view>> seen;
  for (const HeadlessBuddy& b : previous) seen.emplace(b.caption, b.server);
  std::vector<HeadlessBuddy> fresh;
  for (const HeadlessBuddy& b : current)
    if (seen.emplace(b.caption, b.server).second) fresh.push_back(b);
  return fresh;
}

std::string buddyAlertText(const std::vector<HeadlessBuddy>& hits) {
  std::string text;
  for (const HeadlessBuddy& b : hits) {
    if (!text.empty()) text += '\n';
    text += b.caption + " is on " + b.server;
  }
  return text;
}

}  // namespace tarvix
