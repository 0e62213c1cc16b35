#include "app/BrowseMode.h"

#include <algorithm>
#include <ostream>

#include "app/HeadlessHistory.h"
#include "app/JsonOutput.h"
#include "app/core/FetchedLists.h"
#include "app/core/HistoryPasses.h"
#include "app/core/IniFetchedLists.h"
#include "app/core/IniSettingsCore.h"
#include "app/core/ScanPass.h"
#include "app/core/TerminalText.h"
#include "base/Utf8.h"

namespace tarvix {

namespace {

struct BrowseArguments {
  BrowseSettings settings;
  bool mastersGiven = false;
  bool gamesGiven = false;
  bool json = false;
  bool history = true;
};

std::any parse(const ModeArguments& arguments) {
  BrowseArguments b;
  DiscoveryRequest& r = b.settings.request;
  if (!arguments.positional().empty())
    throw UsageProblem{"unexpected argument: " + arguments.positional().front()};
  for (const std::string& text : arguments.values("master")) {
    MasterAddress m;
    if (!parseMasterAddress(text, m))
      throw UsageProblem{"--master needs HOST or HOST:PORT, not \"" + text + "\""};
    r.masters.push_back(m);
    b.mastersGiven = true;
  }
  if (arguments.isSet("game")) {
    r.games.clear();
    for (const std::string& game : arguments.values("game")) {
      if (game != "mohaa" && game != "mohaas" && game != "mohaab")
        throw UsageProblem{"--game takes mohaa, mohaas or mohaab"};
      if (std::find(r.games.begin(), r.games.end(), game) == r.games.end()) r.games.push_back(game);
    }
    b.gamesGiven = true;
  }
  r.lan = arguments.isSet("lan");
  r.queryServers = !arguments.isSet("list-only");
  if (std::optional<int> t = timeoutArgument(arguments)) r.timeoutMs = std::max(*t, 1);
  if (std::optional<int> n = parallelArgument(arguments)) r.parallel = *n;
  if (arguments.isSet("save")) {
    if (!r.queryServers) throw UsageProblem{"--save needs the servers asked: not with --list-only"};
    std::string name =
        dataBytes(arguments.value("save"), "the list name holds a character the data cannot hold");
    if (const std::string problem = listNameProblem(name); !problem.empty())
      throw UsageProblem{"--save: " + codePageToUtf8(problem)};
    b.settings.saveList = std::move(name);
  }
  b.json = arguments.isSet("json");
  b.history = !arguments.isSet("no-history");
  return b;
}

int run(const std::any& parsed, ModeStreams streams, const StopSignal& stop) {
  BrowseArguments b = std::any_cast<BrowseArguments>(parsed);
  DiscoveryRequest& r = b.settings.request;
  // Read here, not in parse: the data folder is current only when the mode runs.
  const IniSettingsCore ini;
  if (!b.mastersGiven) r.masters = ini.masterAddresses();
  if (!b.gamesGiven) r.games = ini.discoveryGames();
  if (r.lan) {
    r.lanAddress = ini.lanAddress();
    const auto [first, last] = ini.lanPorts();
    setLanPorts(r, first, last);
  }
  IniFetchedLists record;
  b.settings.record = &record;
  const auto history = headlessHistory(b.history && r.queryServers, streams.err);
  const BrowseOutcome outcome = runBrowse(b.settings, stop);
  if (history)
    history->record(browseHistory(historyNow(), outcome.result,
                                  browseRows(outcome.result, outcome.names).buddies));
  if (!b.json) return printBrowse(outcome, streams.out, streams.err);
  streams.out << browseJson(outcome) << std::flush;
  for (const std::string& m : outcome.result.messages) streams.err << terminalText(m) << '\n';
  if (!outcome.saveError.empty()) streams.err << outcome.saveError << '\n';
  if (!outcome.saveNote.empty()) streams.err << outcome.saveNote << '\n';
  return outcome.exitCode;
}

}  // namespace

std::string browseJson(const BrowseOutcome& browse) {
  using nlohmann::json;
  json servers = json::array();
  for (const FoundServer& s : browse.result.servers) {
    json server{{"address", jsonText(s.ip + ":" + std::to_string(s.gamePort))},
                {"queryAddress", jsonText(s.ip + ":" + std::to_string(s.queryPort))},
                {"state", !browse.queried ? "not asked"
                          : s.answered    ? "answered"
                                          : "no response"}};
    if (s.answered) {
      json players = json::array();
      for (const FoundPlayer& p : s.players)
        players.push_back({{"name", jsonText(p.name)},
                           {"frags", p.frags},
                           {"deaths", p.deaths},
                           {"ping", p.ping}});
      server["name"] = jsonText(s.hostName);
      server["map"] = jsonText(s.mapName);
      server["players"] = s.numPlayers;
      server["max"] = s.maxPlayers;
      server["gameName"] = jsonText(s.gameName);
      server["gameType"] = jsonText(s.gameType);
      server["version"] = jsonText(s.gameVersion);
      server["ping"] = s.pingMs;
      server["playerList"] = players;
    }
    servers.push_back(server);
  }
  json messages = json::array();
  for (const std::string& m : browse.result.messages) messages.push_back(jsonText(m));
  json root{{"servers", servers},
            {"buddies", buddyArray(browseRows(browse.result, browse.names).buddies)},
            {"sourcesAnswered", browse.result.sourcesAnswered},
            {"messages", messages}};
  // A message of the system's, in its encoding (UTF-8).
  if (!browse.saveError.empty()) root["error"] = browse.saveError;
  return jsonDocument(root);
}

const ModeUnit browseMode{.name = "browse", .parse = parse, .run = run};

}  // namespace tarvix
