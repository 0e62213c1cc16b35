#pragma once
// The program's command line: which mode runs (the window, or one of the
// headless modes), with what, and in which data folder. No Qt: a headless
// run loads no window library.
//
// Every option is a row of one table (CommandLine.cpp). Each headless mode
// is a unit of its own (QueryMode, ScanMode, ...): a ModeUnit that reads its
// arguments from the parsed options and runs them. Texts are the system's
// (UTF-8), as the arguments came.
#include <any>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/OptionReader.h"

namespace tarvix {

class StopSignal;

// A usage error found while a mode reads its arguments.
struct UsageProblem {
  std::string problem;
};

// The parsed options, as a mode unit reads them. The readers throw
// UsageProblem with the given text when a value does not fit.
class ModeArguments {
 public:
  explicit ModeArguments(const ParsedOptions& options) : options_(options) {}

  bool isSet(const char* option) const;
  // The last value of an option given more than once.
  std::string value(const char* option) const;
  // Every value of a repeatable option, in the order given.
  std::vector<std::string> values(const char* option) const;
  const std::vector<std::string>& positional() const { return options_.positional; }

  // The option's value as a number from min to max; nullopt when not given.
  std::optional<int> number(const char* option, int min, int max, const std::string& problem) const;
  // The option's value in the system's encoding, as a host name is looked up.
  std::string localBytes(const char* option) const { return value(option); }

 private:
  const ParsedOptions& options_;
};

// --timeout MS, which the modes that wait for replies share.
std::optional<int> timeoutArgument(const ModeArguments& arguments);
// --parallel [N], which scan and browse share: N queries in flight, the
// default number without N; nullopt when not given.
std::optional<int> parallelArgument(const ModeArguments& arguments);

// Text typed on the command line that goes out as data (passwords, command
// words, list names) in the data's code page; UsageProblem when a character
// cannot be written in it.
std::string dataBytes(const std::string& text, const std::string& problem);

// Where a running mode reads and writes: the process's standard streams, or
// a test's.
struct ModeStreams {
  int in;  // a descriptor: a mode reading it must be able to give up on a stop request
  std::ostream& out;
  std::ostream& err;
};

struct ModeUnit {
  const char* name;  // its option, "--NAME"
  // The positional arguments end the options: everything after the first of
  // them is taken word for word, options and "--" included.
  bool wordsVerbatim = false;
  // Runs without a data folder unless --data names one.
  bool dataFolderOnlyWhenNamed = false;
  // Runs until SIGINT or SIGTERM, which reach `stop` instead of ending it.
  bool stopsOnSignals = false;
  // Reads the mode's own arguments; throws UsageProblem.
  std::any (*parse)(const ModeArguments& arguments);
  // Runs the parsed arguments; returns the exit code.
  int (*run)(const std::any& parsed, ModeStreams streams, const StopSignal& stop);
};

enum class ProgramMode { Window, Headless, Help, Version, UsageError };

struct CommandLine {
  ProgramMode mode = ProgramMode::Window;
  const ModeUnit* unit = nullptr;         // Headless: which mode
  std::any parsed;                        // Headless: what the unit's parse returned
  std::optional<std::string> dataFolder;  // --data DIR, in the system's file name encoding
  std::string problem;                    // UsageError: what was wrong
  bool recordHistory = true;              // false with --no-history

  // The arguments of a headless mode whose parse returns a T; nullptr for
  // any other mode.
  template <class T>
  const T* arguments() const {
    return std::any_cast<T>(&parsed);
  }
  int run(ModeStreams streams, const StopSignal& stop) const {
    return unit->run(parsed, streams, stop);
  }
};

// `arguments` holds the program name first, as main() gets it. Qt's own
// window options (-platform, -style, ...) are accepted.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Arguments of main().
std::vector<std::string> argumentList(int argc, char** argv);

std::string usageText();
std::string versionText();

}  // namespace tarvix
