#include "app/RconMode.h"

#include "app/core/Headless.h"

namespace tarvix {

namespace {

std::any parse(const ModeArguments& arguments) {
  RconArguments r;
  r.timeoutMs = timeoutArgument(arguments);
  r.address = arguments.localBytes("rcon");
  const std::vector<std::string>& positional = arguments.positional();
  std::string host, port;
  if (!splitAddress(r.address, host, port) || positional.size() < 2)
    throw UsageProblem{"--rcon needs HOST:PORT, PASSWORD and a COMMAND"};
  const std::string problem = "the password or command holds a character the server cannot take";
  r.password = dataBytes(positional.front(), problem);
  for (std::size_t i = 1; i < positional.size(); ++i)
    r.words.push_back(dataBytes(positional[i], problem));
  return r;
}

int run(const std::any& parsed, ModeStreams streams, const StopSignal&) {
  const auto& r = std::any_cast<const RconArguments&>(parsed);
  HeadlessRequest request;
  request.mode = HeadlessMode::Rcon;
  request.address = r.address;
  request.password = r.password;
  request.words = r.words;
  request.timeoutMs = r.timeoutMs;
  return runHeadless(request, streams.out, streams.err);
}

}  // namespace

// Its command words are taken verbatim, options and "--" included; it reads
// no data file, so it needs a data folder only when one is named.
const ModeUnit rconMode{.name = "rcon",
                        .wordsVerbatim = true,
                        .dataFolderOnlyWhenNamed = true,
                        .parse = parse,
                        .run = run};

}  // namespace tarvix
