#include "app/BrowseMode.h"

#include <QJsonArray>
#include <QJsonObject>
#include <ostream>

#include "app/HeadlessHistory.h"
#include "app/JsonOutput.h"
#include "app/core/FetchedLists.h"
#include "app/core/HistoryPasses.h"
#include "app/core/ScanPass.h"
#include "app/core/TerminalText.h"
#include "components/IniFetchedLists.h"
#include "components/IniSettings.h"
#include "components/QtText.h"

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
  if (!arguments.positional().isEmpty())
    throw UsageProblem{"unexpected argument: " + arguments.positional().first()};
  for (const QString& text : arguments.values("master")) {
    MasterAddress m;
    if (!parseMasterAddress(text.toLocal8Bit().toStdString(), m))
      throw UsageProblem{"--master needs HOST or HOST:PORT, not \"" + text + "\""};
    r.masters.push_back(m);
    b.mastersGiven = true;
  }
  if (arguments.isSet("game")) {
    r.games.clear();
    for (const QString& game : arguments.values("game")) {
      if (game != "mohaa" && game != "mohaas" && game != "mohaab")
        throw UsageProblem{"--game takes mohaa, mohaas or mohaab"};
      if (std::find(r.games.begin(), r.games.end(), game.toStdString()) == r.games.end())
        r.games.push_back(game.toStdString());
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
      throw UsageProblem{"--save: " + toQString(problem)};
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
  const IniSettings ini;
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
  const QByteArray json = browseJson(outcome);
  streams.out.write(json.constData(), json.size()).flush();
  for (const std::string& m : outcome.result.messages) streams.err << terminalText(m) << '\n';
  if (!outcome.saveError.empty()) streams.err << outcome.saveError << '\n';
  if (!outcome.saveNote.empty()) streams.err << outcome.saveNote << '\n';
  return outcome.exitCode;
}

}  // namespace

QByteArray browseJson(const BrowseOutcome& browse) {
  QJsonArray servers;
  for (const FoundServer& s : browse.result.servers) {
    QJsonObject server{{"address", toQString(s.ip + ":" + std::to_string(s.gamePort))},
                       {"queryAddress", toQString(s.ip + ":" + std::to_string(s.queryPort))},
                       {"state", !browse.queried ? "not asked"
                                 : s.answered    ? "answered"
                                                 : "no response"}};
    if (s.answered) {
      QJsonArray players;
      for (const FoundPlayer& p : s.players)
        players.append(QJsonObject{{"name", toQString(p.name)},
                                   {"frags", p.frags},
                                   {"deaths", p.deaths},
                                   {"ping", p.ping}});
      server["name"] = toQString(s.hostName);
      server["map"] = toQString(s.mapName);
      server["players"] = s.numPlayers;
      server["max"] = s.maxPlayers;
      server["gameName"] = toQString(s.gameName);
      server["gameType"] = toQString(s.gameType);
      server["version"] = toQString(s.gameVersion);
      server["ping"] = s.pingMs;
      server["playerList"] = players;
    }
    servers.append(server);
  }
  QJsonArray buddies;
  for (const HeadlessBuddy& b : browseRows(browse.result, browse.names).buddies)
    buddies.append(QJsonObject{{"caption", toQString(b.caption)}, {"server", toQString(b.server)}});
  QJsonArray messages;
  for (const std::string& m : browse.result.messages) messages.append(toQString(m));
  QJsonObject root{{"servers", servers},
                   {"buddies", buddies},
                   {"sourcesAnswered", browse.result.sourcesAnswered},
                   {"messages", messages}};
  if (!browse.saveError.empty()) root["error"] = QString::fromLocal8Bit(browse.saveError);
  return jsonDocument(root);
}

const ModeUnit browseMode{.name = "browse", .parse = parse, .run = run};

}  // namespace tarvix
