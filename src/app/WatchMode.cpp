#include "app/WatchMode.h"

#include <unistd.h>

#include <ctime>
#include <exception>
#include <mutex>
#include <ostream>
#include <utility>

#include "app/HeadlessHistory.h"
#include "app/core/Headless.h"
#include "app/core/HistoryPasses.h"
#include "app/core/SecretLine.h"
#include "app/core/TerminalText.h"
#include "base/Utf8.h"
#include "protocol/UdpClient.h"
#include "store/Config.h"

namespace tarvix {

namespace {

constexpr int kMaxEverySeconds = 24 * 3600;

std::any parse(const ModeArguments& arguments) {
  WatchSettings w;
  const std::vector<std::string>& positional = arguments.positional();
  if (!splitAddress(arguments.localBytes("watch"), w.host, w.port) || positional.size() != 1)
    throw UsageProblem{"--watch needs HOST:PORT and PASSWORD"};
  // A port that cannot be used is final: the daemon would only retry it forever.
  std::uint16_t port = 0;
  if (!parsePort(w.port, port))
    throw UsageProblem{"--watch needs HOST:PORT with a PORT from 1 to 65535"};
  w.password =
      dataBytes(positional.front(), "the password holds a character the server cannot take");
  if (w.password.empty())
    throw UsageProblem{"--watch needs an rcon password: nothing is sent to the server without one"};
  w.bans = arguments.isSet("bans");
  w.skins = arguments.isSet("skins");
  w.announce = arguments.isSet("announce");
  w.recordHistory = !arguments.isSet("no-history");
  w.everySeconds =
      arguments
          .number("every", 1, kMaxEverySeconds, "--every needs a number of seconds from 1 to 86400")
          .value_or(kWatchDefaultEverySeconds);
  return w;
}

int run(const std::any& parsed, ModeStreams streams, const StopSignal& stop) {
  WatchSettings settings = std::any_cast<const WatchSettings&>(parsed);
  // "-" takes the password from the first line of standard input, which keeps
  // it out of the process list.
  // A stop request while it waits ends the mode at once, as it would later.
  if (settings.password == "-") {
    if (::isatty(streams.in)) streams.err << "rcon password: " << std::flush;
    std::string line;
    if (readSecretLine(streams.in, stop, line) == SecretLineRead::Stopped) return 0;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::optional<std::string> password = utf8ToCodePage(line);
    if (!password || password->empty()) {
      streams.err << "tarvix: --watch with the password \"-\" needs it on the first line of "
                     "standard input, in characters the server can take\n";
      return 2;
    }
    settings.password = *password;
  }
  Config cfg;
  try {
    readConfig(cfg);
  } catch (const std::exception&) {
    cfg.scanTimeout = 500;
  }
  settings.scanTimeout = cfg.scanTimeout;
  // The server's own status goes into the history at every interval.
  const auto history = headlessHistory(settings.recordHistory, streams.err);
  if (history)
    settings.statusSeen = [&history, address = settings.host + ":" + settings.port](
                              const std::string& reply, int ms) {
      if (auto s = statusSample(address, keyValue(reply, kHostNameKey), reply, ms))
        history->record({historyNow(), {*s}, {}});
    };
  std::mutex outputMutex;
  WatchDaemon daemon(std::move(settings), [&](std::string_view source, std::string_view text) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", ::localtime_r(&now, &local));
    const std::string line =
        std::string(stamp) + " " + std::string(source) + " " + terminalText(text) + "\n";
    std::lock_guard lock(outputMutex);
    streams.out << line << std::flush;
  });
  daemon.run(stop);
  return 0;
}

}  // namespace

const ModeUnit watchMode{.name = "watch", .stopsOnSignals = true, .parse = parse, .run = run};

}  // namespace tarvix
