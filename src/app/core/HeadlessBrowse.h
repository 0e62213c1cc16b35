#pragma once
// Server discovery without a window: the servers found, printed as the scan
// prints its rows (the game address "IP:PORT" where the scan has the list
// entry), or as "IP:QUERYPORT" lines, and optionally saved as a server list.
#include <optional>
#include <ostream>
#include <string>

#include "app/core/HeadlessScan.h"
#include "app/core/ServerDiscovery.h"

namespace tarvix {

// Exit code when no master and no LAN server answered, and when a save finds
// no server that answered.
inline constexpr int kNoSourceExit = 3;

class FetchedListRecord;

struct BrowseSettings {
  DiscoveryRequest request;
  // A list name: the servers that answered go there, or to the next free name
  // when it is one of the player's lists (the rule of app/core/FetchedLists).
  std::optional<std::string> saveList;
  FetchedListRecord* record = nullptr;  // needed with saveList
};

// The names a scan looks for among the players.
struct BuddyNames {
  std::vector<std::string> buddies, clantags;
  bool clantagsOn = false;
};

struct BrowseOutcome {
  DiscoveryResult result;
  bool queried = true;    // false: addresses only
  std::string saveError;  // the list could not be written
  std::string saveNote;   // where the list went, when not where asked
  BuddyNames names;       // read when the servers were asked
  int exitCode = 0;
};

BrowseOutcome runBrowse(const BrowseSettings& settings, const StopSignal& stop,
                        const DiscoveryProgress& progress = {});

// Buddys.txt, clantags.txt and Config's clan-tag switch, as far as they can
// be read (missing or unreadable: no hits).
BuddyNames readBuddyNames();

// One row per server, as a scan pass leaves them: caption, map, the game
// address as host and address, the edition; a buddy row per hit among the
// players of the servers that answered (server: the game address); the
// status "N servers found, M answered".
ScanOutcome browseRows(const DiscoveryResult& result, const BuddyNames& names = {});

// The text output: rows (or "IP:QUERYPORT" lines when not queried) on
// `out`, one line per failure on `err`. Returns the exit code.
int printBrowse(const BrowseOutcome& browse, std::ostream& out, std::ostream& err);

}  // namespace tarvix
