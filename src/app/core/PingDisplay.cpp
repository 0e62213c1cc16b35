#include "app/core/PingDisplay.h"

#include "base/Text.h"

namespace tarvix {

std::optional<std::string> pingTextOf(std::string_view line) {
  const std::size_t at = line.find(" in ");
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = line.substr(at + 4);
  return std::string(rest.substr(0, rest.find('m')));
}

PingColour pingFieldColour(std::string_view pingText) {
  long long p = 0;
  if (!parseInt(pingText, p)) return PingColour::Black;
  return p >= 100 ? PingColour::Red : PingColour::Green;
}

GraphStep graphStepFor(long long p) {
  GraphStep step;
  long long y;
  if (p < 50) {
    y = 20 - p / 10;
    step.colour = PingColour::Navy;
  } else if (p < 100) {
    y = 18 - p / 10;
    step.colour = PingColour::Green;
  } else if (p <= 1000) {
    y = 16 - p / 100;
    step.colour = PingColour::Purple;
  } else {
    y = 20 - p / 1000 - p / 100;
    step.colour = PingColour::Red;
  }
  if (y < 1) {
    y = 1;
    step.colour = PingColour::Red;
  }
  step.y = static_cast<int>(y < 1000000 ? y : 1000000);
  return step;
}

GraphAdvance advanceGraphX(int graphX) {
  if (graphX <= 0) return {kGraphStartX, true};
  return {graphX - 1, false};
}

}  // namespace tarvix
