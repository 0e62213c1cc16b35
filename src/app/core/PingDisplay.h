#pragma once
// The arithmetic of the ping display: the ping time taken from a host checker
// log line, the colour of the ping field and one step of the ping graph.
#include <optional>
#include <string>
#include <string_view>

namespace tarvix {

inline constexpr int kGraphStartX = 250;
inline constexpr std::string_view kGraphError = "error in grafix: ping";

enum class PingColour { Black, Navy, Green, Purple, Red };

// The characters after the first " in " up to, not including, the next "m";
// nothing when the line has no " in ".
std::optional<std::string> pingTextOf(std::string_view line);

// The ping field's colour: red from 100 on, green below, black when the text
// is not a whole number.
PingColour pingFieldColour(std::string_view pingText);

struct GraphStep {
  int y = 0;
  PingColour colour = PingColour::Red;
};

// GraphY and pen colour for a ping of p ms (integer division; below 1 gives
// 1 in red).
GraphStep graphStepFor(long long p);

// The pen's x for the next step: one pixel to the left, or back to the start
// (restart true) once the left edge has been passed.
struct GraphAdvance {
  int x = 0;
  bool restart = false;
};
GraphAdvance advanceGraphX(int graphX);

}  // namespace tarvix
