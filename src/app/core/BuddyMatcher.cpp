#include "app/core/BuddyMatcher.h"

#include "base/Text.h"
#include "store/NameLists.h"

namespace tarvix {

void BuddyMatcher::refresh() {
  WatchedFile::Lines buddies = buddyFile_.lines(kBuddiesFile);
  clantags_ = clantagFile_.lines(kClantagsFile);
  if (buddies != buddies_ || buddyFile_.reads() != indexedReads_) {
    // Equal ignoring case is equal after folding both sides, so one hash
    // look-up finds every matching entry, in file order.
    byFolded_.clear();
    for (std::size_t i = 0; i < buddies->size(); ++i)
      byFolded_[lowerAnsi((*buddies)[i])].push_back(static_cast<std::uint32_t>(i));
    buddies_ = buddies;
    indexedReads_ = buddyFile_.reads();
  }
}

void BuddyMatcher::forget() {
  buddyFile_.forget();
  clantagFile_.forget();
  buddies_.reset();
  clantags_.reset();
  byFolded_.clear();
}

std::vector<std::string> BuddyMatcher::hits(std::string_view playerName, bool clantagsOn) const {
  std::vector<std::string> out;
  addHits(playerName, clantagsOn, out);
  return out;
}

void BuddyMatcher::addHits(std::string_view playerName, bool clantagsOn,
                           std::vector<std::string>& out) const {
  if (!byFolded_.empty())
    if (auto it = byFolded_.find(lowerAnsi(playerName)); it != byFolded_.end())
      for (std::uint32_t i : it->second) out.push_back((*buddies_)[i]);
  if (clantagsOn)
    for (const std::string& tag : *clantags_)
      if (clantagMatches(tag, playerName)) out.emplace_back(playerName);
}

}  // namespace tarvix
