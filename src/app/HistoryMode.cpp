#include "app/HistoryMode.h"

#include <ostream>

#include "app/JsonOutput.h"
#include "app/core/Headless.h"
#include "app/core/HistoryPasses.h"
#include "app/core/HistoryText.h"
#include "store/DataFile.h"

namespace tarvix {

namespace {

std::any parse(const ModeArguments& arguments) {
  HistoryArguments h;
  h.address = arguments.localBytes("history");
  std::string host, port;
  if (!splitAddress(h.address, host, port)) throw UsageProblem{"--history needs HOST:PORT"};
  if (!arguments.positional().empty())
    throw UsageProblem{"unexpected argument: " + arguments.positional().front()};
  h.days = arguments
               .number("days", 1, kMaxHistoryDays,
                       "--days takes 1 to " + std::to_string(kMaxHistoryDays))
               .value_or(1);
  h.json = arguments.isSet("json");
  return h;
}

std::string historyJson(const std::string& address, const std::vector<HistoryPoint>& points,
                        const std::vector<LastSighting>& seen) {
  using nlohmann::json;
  json samples = json::array();
  for (const HistoryPoint& p : points)
    samples.push_back({{"time", p.time},
                       {"span", p.span},
                       {"least", p.low},
                       {"mean", p.mean},
                       {"most", p.high},
                       {"max", p.maxPlayers},
                       {"map", jsonText(p.map)},
                       {"samples", p.count}});
  json people = json::array();
  for (const LastSighting& s : seen)
    people.push_back({{"name", jsonText(s.name)}, {"time", s.time}});
  return jsonDocument({{"address", jsonText(address)}, {"points", samples}, {"seen", people}});
}

int run(const std::any& parsed, ModeStreams streams, const StopSignal&) {
  const auto& h = std::any_cast<const HistoryArguments&>(parsed);
  std::vector<HistoryPoint> points;
  std::vector<LastSighting> seen;
  try {
    History history(kHistoryFile, {.readOnly = true});
    const std::int64_t now = historyNow();
    points = history.points(h.address, now - std::int64_t{h.days} * 86400, now);
    seen = history.sightings(h.address);
  } catch (const HistoryError& e) {
    // No file yet is no history yet; anything else is said as it is.
    if (fileExists(kHistoryFile)) {
      streams.err << "tarvix: " << e.what() << "\n";
      return 1;
    }
  }
  if (!h.json) return printHistory(h.address, points, seen, streams.out, streams.err);
  streams.out << historyJson(h.address, points, seen) << std::flush;
  return points.empty() && seen.empty() ? 1 : 0;
}

}  // namespace

const ModeUnit historyMode{.name = "history", .parse = parse, .run = run};

}  // namespace tarvix
