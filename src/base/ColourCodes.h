#pragma once
// The games' colour codes in names: "^" and a digit 0-9 switch the colour of
// the text after it. Any other "^" is an ordinary character.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// No code seen yet: the view's own text colour.
inline constexpr int kDefaultColour = -1;

// A stretch of text in one colour: kDefaultColour or the code's digit 0-9.
struct ColourRun {
  std::string text;
  int colour = kDefaultColour;
  bool operator==(const ColourRun&) const = default;
};

// The text split where a code changes the colour, the codes left out; no
// empty runs.
std::vector<ColourRun> colourRuns(std::string_view text);
// The text without its colour codes.
std::string withoutColourCodes(std::string_view text);
// `text` is found, ignoring case, in `field` as it stands or without its
// colour codes: how every search of names and maps matches.
bool containsIgnoringColours(std::string_view field, std::string_view text);
// 0xRRGGBB of a code's colour, chosen to stay readable on a light view:
// white (^7, the games' "back to normal") is drawn in the view's own colour,
// which colourRgb() reports as kDefaultColour's -1.
std::int32_t colourRgb(int colour);

}  // namespace tarvix
