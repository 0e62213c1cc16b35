#include "base/ColourCodes.h"

#include <array>

#include "base/Text.h"

namespace tarvix {

namespace {

bool isCode(std::string_view text, std::size_t i) {
  return text[i] == '^' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9';
}

}  // namespace

std::vector<ColourRun> colourRuns(std::string_view text) {
  std::vector<ColourRun> runs;
  int colour = kDefaultColour;
  std::string current;
  auto close = [&] {
    if (!current.empty()) runs.push_back({std::move(current), colour});
    current.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isCode(text, i)) {
      const int next = text[i + 1] - '0';
      if (next != colour) {
        close();
        colour = next;
      }
      ++i;
    } else {
      current += text[i];
    }
  }
  close();
  return runs;
}

std::string withoutColourCodes(std::string_view text) {
  std::string plain;
  for (const ColourRun& run : colourRuns(text)) plain += run.text;
  return plain;
}

std::int32_t colourRgb(int colour) {
  // black, red, green, yellow, blue, cyan, magenta, white, orange, grey;
  // yellow and cyan darkened so they can be read on white.
  static constexpr std::array<std::int32_t, 10> kColours = {
      0x000000, 0xD00000, 0x008000, 0xB08800, 0x0000D0, 0x008B8B, 0xB000B0, -1, 0xE07000, 0x808080};
  return colour >= 0 && colour <= 9 ? kColours[static_cast<std::size_t>(colour)] : -1;
}

bool containsIgnoringColours(std::string_view field, std::string_view text) {
  return containsNoCase(field, text) || containsNoCase(withoutColourCodes(field), text);
}

}  // namespace tarvix
