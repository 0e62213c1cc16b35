#include "app/QueryMode.h"

#include <ostream>

#include "app/JsonOutput.h"
#include "app/core/Headless.h"

namespace tarvix {

namespace {

std::any parse(const ModeArguments& arguments) {
  QueryArguments q;
  q.timeoutMs = timeoutArgument(arguments);
  q.address = arguments.localBytes("query");
  std::string host, port;
  if (!splitAddress(q.address, host, port)) throw UsageProblem{"--query needs HOST:PORT"};
  if (!arguments.positional().empty())
    throw UsageProblem{"unexpected argument: " + arguments.positional().front()};
  q.json = arguments.isSet("json");
  return q;
}

int run(const std::any& parsed, ModeStreams streams, const StopSignal&) {
  const auto& q = std::any_cast<const QueryArguments&>(parsed);
  std::string host, port;
  splitAddress(q.address, host, port);
  const QueryOutcome outcome = queryServer(host, port, q.timeoutMs);
  if (!q.json) return printQuery(outcome, streams.out, streams.err);
  streams.out << queryJson(outcome) << std::flush;
  return outcome.answered ? 0 : 1;
}

}  // namespace

const ModeUnit queryMode{.name = "query", .parse = parse, .run = run};

}  // namespace tarvix
