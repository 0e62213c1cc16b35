#include "app/CommandLine.h"

#include <algorithm>

#include "app/BrowseMode.h"
#include "app/HistoryMode.h"
#include "app/QueryMode.h"
#include "app/RconMode.h"
#include "app/ScanMode.h"
#include "app/WatchMode.h"
#include "app/core/ScanPass.h"
#include "base/Utf8.h"

#ifndef TARVIX_VERSION
#define TARVIX_VERSION "unknown"
#endif

namespace tarvix {

namespace {

// One row per option. A mode's row names its unit; an option that only some
// modes take lists them in `modes` ("window" for none), and any other mode
// refuses it. An option given more than once keeps every value
// (ModeArguments::values), so a repeatable option needs no more than its row.
struct OptionSpec {
  const char* name;
  const char* valueName;  // empty: a switch; in brackets: the value may be left out
  const ModeUnit* unit;   // a mode's row: the unit that runs it
  const char* modes;      // blank-separated modes that take it; nullptr: all
  const char* synopsis;   // a mode's row: its usage line after "tarvix "
  const char* help;       // its lines in the usage, "\n" between them; none: not shown
};

constexpr const char* kAnyMode = nullptr;

const OptionSpec kOptions[] = {
    {"help", "", nullptr, kAnyMode, "", ""},
    {"h", "", nullptr, kAnyMode, "", ""},
    {"version", "", nullptr, kAnyMode, "", ""},
    {"query", "HOST:PORT", &queryMode, kAnyMode, "--query HOST:PORT [--timeout MS] [--json]",
     "print one server's status reply"},
    {"scan", "", &scanMode, kAnyMode,
     "--scan [LIST] [--timeout MS] [--parallel [N]] [--retries N] [--json]",
     "one scan pass over the current list, or the list LIST"},
    {"rcon", "HOST:PORT", &rconMode, kAnyMode,
     "--rcon HOST:PORT [--timeout MS] PASSWORD COMMAND...",
     "send one rcon command and print its reply;\n"
     "exit 4 when the server refuses the password"},
    {"watch", "HOST:PORT", &watchMode, kAnyMode,
     "--watch HOST:PORT PASSWORD [--bans] [--skins] [--announce] [--every SECONDS]",
     "run the anti-cheat pass (--bans, --skins) and the announcer\n"
     "(--announce) against one server until SIGINT or SIGTERM;\n"
     "every SECONDS (150 unless given); PASSWORD \"-\" reads it\n"
     "from the first line of standard input"},
    {"browse", "", &browseMode, kAnyMode,
     "--browse [--master HOST[:PORT]]... [--game mohaa|mohaas|mohaab]... [--lan]\n"
     "              [--list-only] [--json] [--parallel [N]] [--timeout MS] [--save LIST]",
     "fetch the server lists of the master servers (tarvix.ini's,\n"
     "or each --master), ask every server listed and print the rows\n"
     "as --scan does, the game address IP:PORT for the entry;\n"
     "exit 3 when no master and no LAN server answered"},
    {"history", "HOST:PORT", &historyMode, kAnyMode, "--history HOST:PORT [--days N] [--json]",
     "print what the scans recorded of one server over the last N\n"
     "days (1 unless given): samples, then 10-minute, hourly and\n"
     "daily summaries as they age; who of the buddies was seen there"},
    {"days", "N", nullptr, "history", "", ""},
    {"master", "HOST[:PORT]", nullptr, "browse", "",
     "a master server to ask (port 28900 unless given); repeatable"},
    {"game", "NAME", nullptr, "browse", "",
     "the game whose list to fetch: mohaa, mohaas or mohaab;\n"
     "repeatable (mohaa and mohaas unless given)"},
    {"lan", "", nullptr, "browse", "", "also look for servers on the LAN by broadcast"},
    {"list-only", "", nullptr, "browse", "",
     "print the listed IP:QUERYPORT lines without asking the servers"},
    {"save", "LIST", nullptr, "browse", "",
     "write the servers that answered into the server list LIST,\n"
     "replacing what it held"},
    {"parallel", "[N]", nullptr, "scan browse", "",
     "query up to N servers at once (1000 unless given); a LIST\n"
     "named like a number goes before it"},
    {"retries", "N", nullptr, "scan", "",
     "ask a server that did not answer within the time-out up to\n"
     "N times more (0 unless given)"},
    {"bans", "", nullptr, "watch", "", ""},
    {"skins", "", nullptr, "watch", "", ""},
    {"announce", "", nullptr, "watch", "", ""},
    {"every", "SECONDS", nullptr, "watch", "", ""},
    {"timeout", "MS", nullptr, "query scan rcon browse", "",
     "reply time-out in milliseconds (Config's unless given;\n500 for --browse)"},
    {"json", "", nullptr, "query scan browse history", "",
     "print one JSON document instead of text"},
    {"no-history", "", nullptr, "window scan browse watch", "",
     "keep nothing of this run in the history (history.sqlite)"},
    {"data", "DIR", nullptr, kAnyMode, "",
     "the data folder (the current folder when it holds Config or\n"
     "Serverlists, otherwise $XDG_DATA_HOME/tarvix)"},
    // QGuiApplication and QApplication take these themselves; the usage does not show them.
    {"platform", "NAME", nullptr, kAnyMode, "", ""},
    {"platformpluginpath", "PATH", nullptr, kAnyMode, "", ""},
    {"platformtheme", "NAME", nullptr, kAnyMode, "", ""},
    {"plugin", "NAME", nullptr, kAnyMode, "", ""},
    {"qwindowgeometry", "GEOMETRY", nullptr, kAnyMode, "", ""},
    {"qwindowicon", "ICON", nullptr, kAnyMode, "", ""},
    {"qwindowtitle", "TITLE", nullptr, kAnyMode, "", ""},
    {"display", "DISPLAY", nullptr, kAnyMode, "", ""},
    {"geometry", "GEOMETRY", nullptr, kAnyMode, "", ""},
    {"style", "STYLE", nullptr, kAnyMode, "", ""},
    {"stylesheet", "FILE", nullptr, kAnyMode, "", ""},
    {"session", "ID", nullptr, kAnyMode, "", ""},
    {"qmljsdebugger", "PORT", nullptr, kAnyMode, "", ""},
    {"reverse", "", nullptr, kAnyMode, "", ""},
    {"widgetcount", "", nullptr, kAnyMode, "", ""},
    {"nograb", "", nullptr, kAnyMode, "", ""},
    {"dograb", "", nullptr, kAnyMode, "", ""},
    {"sync", "", nullptr, kAnyMode, "", ""},
};

const OptionSpec* findOption(std::string_view name) {
  for (const OptionSpec& spec : kOptions)
    if (name == spec.name) return &spec;
  return nullptr;
}

std::optional<OptionShape> shapeOf(std::string_view name) {
  const OptionSpec* spec = findOption(name);
  if (!spec) return std::nullopt;
  return OptionShape{*spec->valueName != '\0', spec->valueName[0] == '['};
}

bool takenBy(const OptionSpec& spec, const std::string& mode) {
  if (spec.modes == kAnyMode) return true;
  const std::string modes = " " + std::string(spec.modes) + " ";
  return modes.find(" " + (mode.empty() ? std::string("window") : mode) + " ") != std::string::npos;
}

// The mode whose command words are taken verbatim, when the arguments choose
// one: those words must not be read as options.
const ModeUnit* verbatimMode(const std::vector<std::string>& arguments) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--") return nullptr;
    const OptionSpec* spec = findOption(optionName(arguments[i]));
    if (spec && spec->unit && spec->unit->wordsVerbatim) return spec->unit;
  }
  return nullptr;
}

CommandLine usageError(const std::string& problem) {
  CommandLine c;
  c.mode = ProgramMode::UsageError;
  c.problem = problem;
  return c;
}

std::string helpLines(const char* name, const char* help) {
  std::string text;
  std::string_view lines = help;
  for (bool first = true; first || !lines.empty(); first = false) {
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    std::string head = first ? "--" + std::string(name) : std::string();
    head.resize(std::max<std::size_t>(head.size(), 12), ' ');
    text += "  " + head + std::string(lines.substr(0, end)) + "\n";
    lines.remove_prefix(std::min(end + 1, lines.size()));
  }
  return text;
}

}  // namespace

bool ModeArguments::isSet(const char* option) const { return options_.values.count(option) != 0; }

std::string ModeArguments::value(const char* option) const {
  const std::vector<std::string> all = values(option);
  return all.empty() ? std::string() : all.back();
}

std::vector<std::string> ModeArguments::values(const char* option) const {
  const auto it = options_.values.find(option);
  return it == options_.values.end() ? std::vector<std::string>{} : it->second;
}

std::optional<int> ModeArguments::number(const char* option, int min, int max,
                                         const std::string& problem) const {
  if (!isSet(option)) return std::nullopt;
  long long v = 0;
  if (!readNumber(value(option), v) || v < min || v > max) throw UsageProblem{problem};
  return static_cast<int>(v);
}

std::optional<int> timeoutArgument(const ModeArguments& arguments) {
  constexpr int kMaxTimeoutMs = 24 * 3600 * 1000;
  return arguments.number("timeout", 0, kMaxTimeoutMs, "--timeout needs a number of milliseconds");
}

std::optional<int> parallelArgument(const ModeArguments& arguments) {
  if (!arguments.isSet("parallel")) return std::nullopt;
  if (arguments.value("parallel").empty()) return kDefaultParallelQueries;
  return arguments.number(
      "parallel", 1, kMaxParallelQueries,
      "--parallel takes 1 to " + std::to_string(kMaxParallelQueries) + " queries");
}

std::string dataBytes(const std::string& text, const std::string& problem) {
  std::optional<std::string> bytes = utf8ToCodePage(text);
  if (!bytes) throw UsageProblem{problem};
  return *bytes;
}

std::vector<std::string> argumentList(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::string versionText() { return "tarvix " TARVIX_VERSION "\n"; }

std::string usageText() {
  std::string text = "usage: tarvix [--data DIR]                 start the window\n";
  for (const OptionSpec& spec : kOptions)
    if (spec.unit) text += "       tarvix " + std::string(spec.synopsis) + "\n";
  text += "       tarvix --help | --version\n\n";
  for (const OptionSpec& spec : kOptions)
    if (*spec.help) text += helpLines(spec.name, spec.help);
  return text;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  const bool verbatim = verbatimMode(arguments) != nullptr;
  ParsedOptions options;
  std::string problem;
  if (!readOptions(arguments, shapeOf, verbatim, options, problem)) return usageError(problem);
  const ModeArguments parsed(options);

  CommandLine c;
  if (parsed.isSet("help") || parsed.isSet("h")) {
    c.mode = ProgramMode::Help;
    return c;
  }
  if (parsed.isSet("version")) {
    c.mode = ProgramMode::Version;
    return c;
  }

  std::string mode;
  for (const OptionSpec& spec : kOptions) {
    if (!spec.unit || !parsed.isSet(spec.name)) continue;
    if (c.unit) return usageError("--" + mode + " and --" + spec.name + " exclude each other");
    c.unit = spec.unit;
    mode = spec.name;
  }
  for (const OptionSpec& spec : kOptions)
    if (parsed.isSet(spec.name) && !takenBy(spec, mode))
      return usageError("--" + std::string(spec.name) + " does not go with " +
                        (mode.empty() ? std::string("the window") : "--" + mode));

  c.recordHistory = !parsed.isSet("no-history");
  if (parsed.isSet("data")) c.dataFolder = parsed.value("data");
  if (!c.unit) {
    if (!options.positional.empty())
      return usageError("unexpected argument: " + options.positional.front());
    c.mode = ProgramMode::Window;
    return c;
  }
  try {
    c.parsed = c.unit->parse(parsed);
  } catch (const UsageProblem& p) {
    return usageError(p.problem);
  }
  c.mode = ProgramMode::Headless;
  return c;
}

}  // namespace tarvix
