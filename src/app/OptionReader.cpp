#include "app/OptionReader.h"

#include <cerrno>
#include <cstdlib>

namespace tarvix {

namespace {

// An option whose value may be left out takes the next argument as its value
// only when that is a number ("--parallel 8", but "--parallel --json"); the
// reader wants such a value joined to the option ("--parallel=8").
std::vector<std::string> joinOptionalValues(const std::vector<std::string>& arguments,
                                            OptionShapeOf shapeOf) {
  std::vector<std::string> joined;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--") {
      joined.insert(joined.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i),
                    arguments.end());
      break;
    }
    const std::optional<OptionShape> shape = shapeOf(optionName(a));
    if (!shape || !shape->valueOptional || a.find('=') != std::string::npos) {
      joined.push_back(a);
      continue;
    }
    long long n = 0;
    const bool number = i + 1 < arguments.size() && readNumber(arguments[i + 1], n);
    joined.push_back(a + "=" + (number ? arguments[++i] : std::string()));
  }
  return joined;
}

std::string unknownText(const std::vector<std::string>& unknown) {
  if (unknown.size() == 1) return "Unknown option '" + unknown[0] + "'.";
  std::string text = "Unknown options: ";
  for (std::size_t i = 0; i < unknown.size(); ++i) text += (i ? ", " : "") + unknown[i];
  return text + ".";
}

}  // namespace

std::string optionName(const std::string& a) {
  if (a.size() < 2 || a[0] != '-' || a == "--") return {};
  const std::size_t from = a[1] == '-' ? 2 : 1;
  return a.substr(from, a.find('=', from) - from);
}

bool readNumber(const std::string& text, long long& value) {
  const char* blanks = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return false;
  const std::string t = text.substr(first, text.find_last_not_of(blanks) + 1 - first);
  const std::size_t digits = t[0] == '+' || t[0] == '-' ? 1 : 0;
  if (digits == t.size() || t.find_first_not_of("0123456789", digits) != std::string::npos)
    return false;
  errno = 0;
  value = std::strtoll(t.c_str(), nullptr, 10);
  return errno != ERANGE;
}

bool readOptions(const std::vector<std::string>& given, OptionShapeOf shapeOf, bool verbatim,
                 ParsedOptions& out, std::string& problem) {
  if (given.empty()) return false;
  const std::vector<std::string> arguments = verbatim ? given : joinOptionalValues(given, shapeOf);
  std::vector<std::string> unknown;
  bool onlyPositional = false;
  for (auto it = arguments.begin() + 1; it != arguments.end(); ++it) {
    const std::string& a = *it;
    if (onlyPositional || a.size() < 2 || a[0] != '-') {
      out.positional.push_back(a);
      onlyPositional = onlyPositional || (verbatim && a != "-");
      continue;
    }
    if (a == "--") {
      onlyPositional = true;
      continue;
    }
    const std::string name = optionName(a);
    const std::optional<OptionShape> shape = shapeOf(name);
    if (!shape) {
      unknown.push_back(name);
      continue;
    }
    std::vector<std::string>& values = out.values[name];
    const std::size_t assign = a.find('=');
    if (shape->takesValue && assign == std::string::npos) {
      if (++it == arguments.end()) {
        problem = "Missing value after '" + a + "'.";
        break;
      }
      values.push_back(*it);
    } else if (shape->takesValue) {
      values.push_back(a.substr(assign + 1));
    } else if (assign != std::string::npos) {
      problem = "Unexpected value after '" + a.substr(0, assign) + "'.";
    }
  }
  if (problem.empty() && !unknown.empty()) problem = unknownText(unknown);
  return problem.empty();
}

}  // namespace tarvix
