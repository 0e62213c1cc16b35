#include "app/core/BuddyAlerts.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>

namespace tarvix {

std::vector<HeadlessBuddy> newBuddyHits(const std::vector<HeadlessBuddy>& previous,
                                        const std::vector<HeadlessBuddy>& current) {
  // Views into both lists, which outlive them: no caption is copied, and the
  // many previous hits are one sorted array.
  using Key = std::pair<std::string_view, std::string_view>;
  std::vector<Key> before;
  before.reserve(previous.size());
  for (const HeadlessBuddy& b : previous) before.emplace_back(b.caption, b.server);
  std::sort(before.begin(), before.end());
  std::set<Key> added;
  std::vector<HeadlessBuddy> fresh;
  for (const HeadlessBuddy& b : current) {
    const Key key(b.caption, b.server);
    if (!std::binary_search(before.begin(), before.end(), key) && added.insert(key).second)
      fresh.push_back(b);
  }
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
