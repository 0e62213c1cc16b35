#include "app/core/HeadlessBrowse.h"

#include <exception>

#include "app/core/FetchedLists.h"
#include "app/core/ScanPass.h"
#include "app/core/TerminalText.h"
#include "base/Text.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

std::string gameAddress(const FoundServer& s) { return s.ip + ":" + std::to_string(s.gamePort); }

std::vector<std::string> namesOrNone(const char* file) {
  try {
    return readOptionalNameList(file).value_or(std::vector<std::string>{});
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

BuddyNames readBuddyNames() {
  BuddyNames n;
  n.buddies = namesOrNone(kBuddiesFile);
  n.clantags = namesOrNone(kClantagsFile);
  try {
    Config cfg;
    readConfig(cfg);
    n.clantagsOn = cfg.clantagsOn;
  } catch (const std::exception&) {
  }
  return n;
}

namespace {

// The servers that answered go to the list `wanted`, or to the next name the
// rule allows; nothing is written when none answered.
void saveFound(BrowseOutcome& b, const std::string& wanted, FetchedListRecord& record) {
  const std::vector<std::string> lines = fetchedListLines(b.result);
  if (lines.empty()) {
    b.saveError = "no server answered: the list " + wanted + " was not written";
    b.exitCode = kNoSourceExit;
    return;
  }
  FetchedLists lists(record);
  const std::string name = lists.nameFor(wanted);
  if (name.empty()) {
    b.saveError = wanted + " and " + wanted + " 2 to " + wanted +
                  " 99 are lists of your own: nothing was saved";
    b.exitCode = 1;
    return;
  }
  try {
    lists.write(name, lines);
  } catch (const std::exception& e) {
    b.saveError = e.what();
    b.exitCode = 1;
    return;
  }
  if (name != wanted)
    b.saveNote = wanted + " is a list of your own: the servers were saved as " + name;
}

}  // namespace

BrowseOutcome runBrowse(const BrowseSettings& settings, const StopSignal& stop,
                        const DiscoveryProgress& progress) {
  BrowseOutcome b;
  b.queried = settings.request.queryServers;
  b.result = discoverServers(settings.request, stop, progress);
  if (b.queried) b.names = readBuddyNames();
  b.exitCode = b.result.sourcesAnswered > 0 ? 0 : kNoSourceExit;
  if (settings.saveList && settings.record && b.exitCode == 0 && !stop.requested())
    saveFound(b, *settings.saveList, *settings.record);
  return b;
}

ScanOutcome browseRows(const DiscoveryResult& result, const BuddyNames& names) {
  ScanOutcome scan;
  scan.ran = true;
  int answered = 0;
  for (const FoundServer& s : result.servers) {
    HeadlessRow row = noResponseRow(gameAddress(s));
    if (s.answered) {
      ++answered;
      row = answeredRow(row.host, s.numPlayers, std::to_string(s.maxPlayers), s.mapName,
                        foundEdition(s));
      for (const FoundPlayer& p : s.players) {
        if (p.name.empty()) continue;
        for (std::string& caption :
             buddyHits(names.buddies, names.clantags, names.clantagsOn, p.name))
          scan.buddies.push_back({std::move(caption), row.host});
      }
    }
    row.address = row.host;
    scan.rows.push_back(std::move(row));
  }
  scan.status = std::to_string(result.servers.size()) + " servers found, " +
                std::to_string(answered) + " answered";
  return scan;
}

int printBrowse(const BrowseOutcome& b, std::ostream& out, std::ostream& err) {
  if (b.queried) {
    printScan(browseRows(b.result, b.names), out, err);
  } else {
    for (const FoundServer& s : b.result.servers) out << s.ip << ':' << s.queryPort << '\n';
    out.flush();
  }
  for (const std::string& m : b.result.messages) err << terminalText(m) << '\n';
  if (!b.saveError.empty()) err << b.saveError << '\n';
  if (!b.saveNote.empty()) err << b.saveNote << '\n';
  return b.exitCode;
}

}  // namespace tarvix
