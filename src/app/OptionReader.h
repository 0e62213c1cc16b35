#pragma once
// Reads a command line's options by the rules and with the texts the program
// has always had (those of QCommandLineParser, which it used before it did
// without Qt): "--name" or "-name", a value after "=" or in the next
// argument, "--" ending the options, every unknown option named.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// The options found on a command line: each one's values in the order given
// (none for a switch), and the positional arguments.
struct ParsedOptions {
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::string> positional;
};

struct OptionShape {
  bool takesValue = false;
  // "--parallel [N]": the next argument is its value only when it is a number.
  bool valueOptional = false;
};
// The shape of the option named so; nullopt when there is no such option.
using OptionShapeOf = std::optional<OptionShape> (*)(std::string_view name);

// The option an argument names ("--name", "-name", either with "=value"),
// or "" when it is none.
std::string optionName(const std::string& argument);

// A decimal number as the command line has always taken it: blanks around
// it and a sign allowed; false when it is none or too large.
bool readNumber(const std::string& text, long long& value);

// Reads `arguments` (the program's name first) into `out`; false with
// `problem` set on an unknown option or a misplaced value. With `verbatim`
// the first positional argument ends the options.
bool readOptions(const std::vector<std::string>& arguments, OptionShapeOf shapeOf, bool verbatim,
                 ParsedOptions& out, std::string& problem);

}  // namespace tarvix
