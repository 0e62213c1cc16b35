#pragma once
#include <string_view>

namespace tarvix {

// The server view's comparison: byte by byte, the letters a-z taken as A-Z,
// every other byte by its value; a shorter text that is a prefix sorts first.
int compareSortText(std::string_view a, std::string_view b);

// The numeric order of the "Player" column: "count/max" by count, then by
// maximum ("4/16" before "10/20"), then "FULL", then the captions of servers
// that gave no count ("no response", ...) by compareSortText.
int comparePlayerCaptions(std::string_view a, std::string_view b);
// "count/max" or "FULL": the server answered with its players.
bool isAnsweredCaption(std::string_view caption);
// Whole numbers by value ("95" before "120"); any other text after them.
int compareNumberTexts(std::string_view a, std::string_view b);

}  // namespace tarvix

namespace tarvix {

// The list views' alphabetical order: letters compared first without regard
// to case (Windows-1252 folding), then lower case before upper case on a tie.
int compareListText(std::string_view a, std::string_view b);

}  // namespace tarvix
