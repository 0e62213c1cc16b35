#pragma once
// Buddy and clan-tag matching of a scan pass: both name lists are consulted
// for every server with players, as a user may edit them while the pass runs,
// but read again only when they changed on disk.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/WatchedFile.h"

namespace tarvix {

class BuddyMatcher {
 public:
  // Brings both lists up to date with "Buddys.txt" and "clantags.txt".
  // Throws FileError when either file cannot be read (both are read even
  // with clan tags off); then hits() must not be called.
  void refresh();
  // The buddy view rows one player adds, as buddyHits() gives them over the
  // lists of the last refresh().
  std::vector<std::string> hits(std::string_view playerName, bool clantagsOn) const;
  // The same, appended to `out`.
  void addHits(std::string_view playerName, bool clantagsOn, std::vector<std::string>& out) const;
  // Drops both lists and stops watching their files until the next refresh().
  void forget();

 private:
  WatchedFile buddyFile_;
  WatchedFile clantagFile_;
  WatchedFile::Lines buddies_;
  WatchedFile::Lines clantags_;
  unsigned long indexedReads_ = 0;
  // Positions of the buddy entries by their lower-case form, ascending.
  std::unordered_map<std::string, std::vector<std::uint32_t>> byFolded_;
};

}  // namespace tarvix
