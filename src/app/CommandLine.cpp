#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

#include "app/core/ScanPass.h"
#include "components/QtText.h"

#ifndef TARVIX_VERSION
#define TARVIX_VERSION "unknown"
#endif

namespace tarvix {

namespace {

// Every option the program knows, in one table. valueName empty: a switch;
// a valueName in brackets: the value may be left out.
struct OptionSpec {
  const char* name;
  const char* valueName;
  bool hidden;  // Qt's own window options: accepted, not shown in the usage
};

constexpr OptionSpec kOptions[] = {
    {"help", "", false},
    {"h", "", true},
    {"version", "", false},
    {"query", "HOST:PORT", false},
    {"scan", "", false},
    {"rcon", "HOST:PORT", false},
    {"watch", "HOST:PORT", false},
    {"timeout", "MS", false},
    {"json", "", false},
    {"data", "DIR", false},
    {"bans", "", false},
    {"skins", "", false},
    {"announce", "", false},
    {"every", "SECONDS", false},
    {"parallel", "[N]", false},
    // QGuiApplication and QApplication take these themselves.
    {"platform", "NAME", true},
    {"platformpluginpath", "PATH", true},
    {"platformtheme", "NAME", true},
    {"plugin", "NAME", true},
    {"qwindowgeometry", "GEOMETRY", true},
    {"qwindowicon", "ICON", true},
    {"qwindowtitle", "TITLE", true},
    {"display", "DISPLAY", true},
    {"geometry", "GEOMETRY", true},
    {"style", "STYLE", true},
    {"stylesheet", "FILE", true},
    {"session", "ID", true},
    {"qmljsdebugger", "PORT", true},
    {"reverse", "", true},
    {"widgetcount", "", true},
    {"nograb", "", true},
    {"dograb", "", true},
    {"sync", "", true},
};

constexpr int kMaxTimeoutMs = 24 * 3600 * 1000;
constexpr int kMaxEverySeconds = 24 * 3600;

// The mode options; exactly one of them (or none: the window) may be given.
constexpr const char* kModes[] = {"query", "scan", "rcon", "watch"};

// Whether the arguments choose rcon mode: its command words are taken
// verbatim, options and "--" included, so they must not be parsed.
bool choosesRcon(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == "--") return false;
    if (a == "--rcon" || a == "-rcon" || a.startsWith("--rcon=") || a.startsWith("-rcon="))
      return true;
  }
  return false;
}

bool optionalValue(const OptionSpec& spec) { return spec.valueName[0] == '['; }

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

// Text typed on the command line that goes out as data (passwords, command
// words, list names) in the data's code page; nullopt when a character
// cannot be written in it.
std::optional<std::string> dataBytes(const QString& text) { return toCodePageBytes(text); }

bool readNumber(const QString& text, int min, int max, int& value) {
  bool ok = false;
  const long long v = text.toLongLong(&ok);
  if (!ok || v < min || v > max) return false;
  value = static_cast<int>(v);
  return true;
}

CommandLine usageError(const QString& problem) {
  CommandLine c;
  c.mode = ProgramMode::UsageError;
  c.problem = problem;
  return c;
}

}  // namespace

QStringList argumentList(int argc, char** argv) {
  QStringList list;
  for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
  return list;
}

QString versionText() { return QStringLiteral("tarvix " TARVIX_VERSION "\n"); }

QString usageText() {
  return QStringLiteral(
      "usage: tarvix [--data DIR]                 start the window\n"
      "       tarvix --query HOST:PORT [--timeout MS] [--json]\n"
      "       tarvix --scan [LIST] [--timeout MS] [--parallel [N]] [--json]\n"
      "       tarvix --rcon HOST:PORT [--timeout MS] PASSWORD COMMAND...\n"
      "       tarvix --watch HOST:PORT PASSWORD [--bans] [--skins] [--announce]"
      " [--every SECONDS]\n"
      "       tarvix --help | --version\n"
      "\n"
      "  --query     print one server's status reply\n"
      "  --scan      one scan pass over the current list, or the list LIST\n"
      "  --rcon      send one rcon command and print its reply\n"
      "  --watch     run the anti-cheat pass (--bans, --skins) and the announcer\n"
      "              (--announce) against one server until SIGINT or SIGTERM;\n"
      "              every SECONDS (150 unless given); PASSWORD \"-\" reads it\n"
      "              from the first line of standard input\n"
      "  --parallel  query up to N servers at once (1000 unless given); a LIST\n"
      "              named like a number goes before it\n"
      "  --timeout   reply time-out in milliseconds (Config's unless given)\n"
      "  --json      print one JSON document instead of text\n"
      "  --data      the data folder (the current folder when it holds Config or\n"
      "              Serverlists, otherwise $XDG_DATA_HOME/tarvix)\n");
}

CommandLine parseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const bool rcon = choosesRcon(arguments);
  if (rcon)
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  for (const OptionSpec& spec : kOptions) {
    QCommandLineOption option(QString::fromLatin1(spec.name));
    if (*spec.valueName)
      option.setValueName(QString::fromLatin1(spec.valueName).remove('[').remove(']'));
    if (spec.hidden) option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  if (!parser.parse(rcon ? arguments : joinOptionalValues(arguments)))
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
  for (const char* m : kModes) {
    if (!parser.isSet(m)) continue;
    if (!mode.isEmpty()) return usageError("--" + mode + " and --" + m + " exclude each other");
    mode = QString::fromLatin1(m);
  }
  const QStringList positional = parser.positionalArguments();
  auto misplaced = [&](std::initializer_list<const char*> names,
                       std::initializer_list<const char*> allowedModes) -> QString {
    for (const char* n : names) {
      if (!parser.isSet(n)) continue;
      bool allowed = false;
      for (const char* m : allowedModes) allowed = allowed || mode == QLatin1String(m);
      if (!allowed)
        return QStringLiteral("--%1 does not go with %2")
            .arg(QLatin1String(n), mode.isEmpty() ? QStringLiteral("the window") : "--" + mode);
    }
    return {};
  };
  for (const QString& problem :
       {misplaced({"timeout"}, {"query", "scan", "rcon"}), misplaced({"json"}, {"query", "scan"}),
        misplaced({"parallel"}, {"scan"}),
        misplaced({"bans", "skins", "announce", "every"}, {"watch"})})
    if (!problem.isEmpty()) return usageError(problem);

  if (parser.isSet("data")) c.dataFolder = QFile::encodeName(parser.value("data")).toStdString();
  c.json = parser.isSet("json");
  if (parser.isSet("timeout")) {
    int ms = 0;
    if (!readNumber(parser.value("timeout"), 0, kMaxTimeoutMs, ms))
      return usageError("--timeout needs a number of milliseconds");
    c.headless.timeoutMs = ms;
  }

  std::string host, port;
  auto address = [&](const char* option) {
    c.headless.address = parser.value(option).toLocal8Bit().toStdString();
    return splitAddress(c.headless.address, host, port);
  };

  if (mode.isEmpty()) {
    if (!positional.isEmpty()) return usageError("unexpected argument: " + positional.first());
    c.mode = ProgramMode::Window;
  } else if (mode == "query") {
    if (!address("query")) return usageError("--query needs HOST:PORT");
    if (!positional.isEmpty()) return usageError("unexpected argument: " + positional.first());
    c.mode = ProgramMode::Query;
    c.headless.mode = HeadlessMode::Query;
  } else if (mode == "scan") {
    if (positional.size() > 1) return usageError("--scan takes at most one LIST");
    if (!positional.isEmpty()) {
      std::optional<std::string> list = dataBytes(positional.first());
      if (!list) return usageError("the list name holds a character the data cannot hold");
      c.headless.list = *list;
    }
    if (parser.isSet("parallel")) {
      int queries = kDefaultParallelQueries;
      if (!parser.value("parallel").isEmpty() &&
          !readNumber(parser.value("parallel"), 1, kMaxParallelQueries, queries))
        return usageError(
            QStringLiteral("--parallel takes 1 to %1 queries").arg(kMaxParallelQueries));
      c.headless.parallel = queries;
    }
    c.mode = ProgramMode::Scan;
    c.headless.mode = HeadlessMode::Scan;
  } else if (mode == "rcon") {
    if (!address("rcon") || positional.size() < 2)
      return usageError("--rcon needs HOST:PORT, PASSWORD and a COMMAND");
    for (qsizetype i = 0; i < positional.size(); ++i) {
      std::optional<std::string> bytes = dataBytes(positional[i]);
      if (!bytes)
        return usageError("the password or command holds a character the server cannot take");
      if (i == 0)
        c.headless.password = *bytes;
      else
        c.headless.words.push_back(*bytes);
    }
    c.mode = ProgramMode::Rcon;
    c.headless.mode = HeadlessMode::Rcon;
  } else {
    if (!address("watch") || positional.size() != 1)
      return usageError("--watch needs HOST:PORT and PASSWORD");
    std::optional<std::string> password = dataBytes(positional.first());
    if (!password) return usageError("the password holds a character the server cannot take");
    c.watch.host = host;
    c.watch.port = port;
    c.watch.password = *password;
    c.watch.bans = parser.isSet("bans");
    c.watch.skins = parser.isSet("skins");
    c.watch.announce = parser.isSet("announce");
    if (parser.isSet("every")) {
      int seconds = 0;
      if (!readNumber(parser.value("every"), 1, kMaxEverySeconds, seconds))
        return usageError("--every needs a number of seconds from 1 to 86400");
      c.watch.everySeconds = seconds;
    }
    c.mode = ProgramMode::Watch;
  }
  return c;
}

}  // namespace tarvix
