#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

#include "app/BrowseMode.h"
#include "app/HistoryMode.h"
#include "app/QueryMode.h"
#include "app/RconMode.h"
#include "app/ScanMode.h"
#include "app/WatchMode.h"
#include "app/core/ScanPass.h"
#include "components/QtText.h"

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
  const char* help;       // its lines in the usage, "\n" between them
  bool hidden = false;    // Qt's own window options: accepted, not shown in the usage
};

constexpr const char* kAnyMode = nullptr;

const OptionSpec kOptions[] = {
    {"help", "", nullptr, kAnyMode, "", ""},
    {"h", "", nullptr, kAnyMode, "", "", true},
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
    // QGuiApplication and QApplication take these themselves.
    {"platform", "NAME", nullptr, kAnyMode, "", "", true},
    {"platformpluginpath", "PATH", nullptr, kAnyMode, "", "", true},
    {"platformtheme", "NAME", nullptr, kAnyMode, "", "", true},
    {"plugin", "NAME", nullptr, kAnyMode, "", "", true},
    {"qwindowgeometry", "GEOMETRY", nullptr, kAnyMode, "", "", true},
    {"qwindowicon", "ICON", nullptr, kAnyMode, "", "", true},
    {"qwindowtitle", "TITLE", nullptr, kAnyMode, "", "", true},
    {"display", "DISPLAY", nullptr, kAnyMode, "", "", true},
    {"geometry", "GEOMETRY", nullptr, kAnyMode, "", "", true},
    {"style", "STYLE", nullptr, kAnyMode, "", "", true},
    {"stylesheet", "FILE", nullptr, kAnyMode, "", "", true},
    {"session", "ID", nullptr, kAnyMode, "", "", true},
    {"qmljsdebugger", "PORT", nullptr, kAnyMode, "", "", true},
    {"reverse", "", nullptr, kAnyMode, "", "", true},
    {"widgetcount", "", nullptr, kAnyMode, "", "", true},
    {"nograb", "", nullptr, kAnyMode, "", "", true},
    {"dograb", "", nullptr, kAnyMode, "", "", true},
    {"sync", "", nullptr, kAnyMode, "", "", true},
};

bool optionalValue(const OptionSpec& spec) { return spec.valueName[0] == '['; }

bool takenBy(const OptionSpec& spec, const QString& mode) {
  if (spec.modes == kAnyMode) return true;
  const QStringList modes = QString::fromLatin1(spec.modes).split(' ');
  return modes.contains(mode.isEmpty() ? QStringLiteral("window") : mode);
}

// The mode whose command words are taken verbatim, when the arguments choose
// one: those words must not be parsed as options.
const ModeUnit* verbatimMode(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == "--") return nullptr;
    for (const OptionSpec& spec : kOptions) {
      if (!spec.unit || !spec.unit->wordsVerbatim) continue;
      const QString name = QString::fromLatin1(spec.name);
      for (const QString& dashes : {QStringLiteral("--"), QStringLiteral("-")})
        if (a == dashes + name || a.startsWith(dashes + name + "=")) return spec.unit;
    }
  }
  return nullptr;
}

// An option whose value may be left out takes the next argument as its value
// only when that is a number ("--parallel 8", but "--parallel --json"); the
// parser wants such a value joined to the option ("--parallel=8").
QStringList joinOptionalValues(const QStringList& arguments) {
  QStringList joined;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == "--") {
      joined += arguments.mid(i);
      break;
    }
    bool optional = false;
    for (const OptionSpec& spec : kOptions) {
      const QString name = QString::fromLatin1(spec.name);
      optional = optional || (optionalValue(spec) && (a == "--" + name || a == "-" + name));
    }
    if (!optional) {
      joined << a;
      continue;
    }
    bool number = false;
    if (i + 1 < arguments.size()) arguments[i + 1].toLongLong(&number);
    joined << a + "=" + (number ? arguments[++i] : QString());
  }
  return joined;
}

CommandLine usageError(const QString& problem) {
  CommandLine c;
  c.mode = ProgramMode::UsageError;
  c.problem = problem;
  return c;
}

QString helpLines(const char* name, const char* help) {
  QString text;
  const QStringList lines = QString::fromLatin1(help).split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i)
    text += QStringLiteral("  %1%2\n")
                .arg(i == 0 ? QStringLiteral("--%1").arg(QLatin1String(name)) : QString(), -12)
                .arg(lines[i]);
  return text;
}

}  // namespace

ModeArguments::ModeArguments(const QCommandLineParser& parser) : parser_(parser) {}

bool ModeArguments::isSet(const char* option) const { return parser_.isSet(option); }

QString ModeArguments::value(const char* option) const { return parser_.value(option); }

QStringList ModeArguments::values(const char* option) const { return parser_.values(option); }

QStringList ModeArguments::positional() const { return parser_.positionalArguments(); }

std::optional<int> ModeArguments::number(const char* option, int min, int max,
                                         const QString& problem) const {
  if (!isSet(option)) return std::nullopt;
  bool ok = false;
  const long long v = value(option).toLongLong(&ok);
  if (!ok || v < min || v > max) throw UsageProblem{problem};
  return static_cast<int>(v);
}

std::string ModeArguments::localBytes(const char* option) const {
  return value(option).toLocal8Bit().toStdString();
}

std::optional<int> timeoutArgument(const ModeArguments& arguments) {
  constexpr int kMaxTimeoutMs = 24 * 3600 * 1000;
  return arguments.number("timeout", 0, kMaxTimeoutMs, "--timeout needs a number of milliseconds");
}

std::optional<int> parallelArgument(const ModeArguments& arguments) {
  if (!arguments.isSet("parallel")) return std::nullopt;
  if (arguments.value("parallel").isEmpty()) return kDefaultParallelQueries;
  return arguments.number(
      "parallel", 1, kMaxParallelQueries,
      QStringLiteral("--parallel takes 1 to %1 queries").arg(kMaxParallelQueries));
}

std::string dataBytes(const QString& text, const QString& problem) {
  std::optional<std::string> bytes = toCodePageBytes(text);
  if (!bytes) throw UsageProblem{problem};
  return *bytes;
}

QStringList argumentList(int argc, char** argv) {
  QStringList list;
  for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
  return list;
}

QString versionText() { return QStringLiteral("tarvix " TARVIX_VERSION "\n"); }

QString usageText() {
  QString text = QStringLiteral("usage: tarvix [--data DIR]                 start the window\n");
  for (const OptionSpec& spec : kOptions)
    if (spec.unit) text += QStringLiteral("       tarvix %1\n").arg(QLatin1String(spec.synopsis));
  text += QStringLiteral("       tarvix --help | --version\n\n");
  for (const OptionSpec& spec : kOptions)
    if (*spec.help) text += helpLines(spec.name, spec.help);
  return text;
}

CommandLine parseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const bool verbatim = verbatimMode(arguments) != nullptr;
  if (verbatim)
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  for (const OptionSpec& spec : kOptions) {
    QCommandLineOption option(QString::fromLatin1(spec.name));
    if (*spec.valueName)
      option.setValueName(QString::fromLatin1(spec.valueName).remove('[').remove(']'));
    if (spec.hidden) option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  if (!parser.parse(verbatim ? arguments : joinOptionalValues(arguments)))
    return usageError(parser.errorText());

  CommandLine c;
  if (parser.isSet("help") || parser.isSet("h")) {
    c.mode = ProgramMode::Help;
    return c;
  }
  if (parser.isSet("version")) {
    c.mode = ProgramMode::Version;
    return c;
  }

  QString mode;
  for (const OptionSpec& spec : kOptions) {
    if (!spec.unit || !parser.isSet(spec.name)) continue;
    if (c.unit) return usageError("--" + mode + " and --" + spec.name + " exclude each other");
    c.unit = spec.unit;
    mode = QString::fromLatin1(spec.name);
  }
  for (const OptionSpec& spec : kOptions)
    if (parser.isSet(spec.name) && !takenBy(spec, mode))
      return usageError(QStringLiteral("--%1 does not go with %2")
                            .arg(QLatin1String(spec.name),
                                 mode.isEmpty() ? QStringLiteral("the window") : "--" + mode));

  c.recordHistory = !parser.isSet("no-history");
  if (parser.isSet("data")) c.dataFolder = QFile::encodeName(parser.value("data")).toStdString();
  if (!c.unit) {
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) return usageError("unexpected argument: " + positional.first());
    c.mode = ProgramMode::Window;
    return c;
  }
  try {
    c.parsed = c.unit->parse(ModeArguments(parser));
  } catch (const UsageProblem& p) {
    return usageError(p.problem);
  }
  c.mode = ProgramMode::Headless;
  return c;
}

}  // namespace tarvix
