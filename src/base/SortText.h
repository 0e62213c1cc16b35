#pragma once
#include <string_view>

namespace tarvix {

// The server view's comparison: byte by byte, the letters a-z taken as A-Z,
// every other byte by its value; a shorter text that is a prefix sorts first.
int compareSortText(std::string_view a, std::string_view b);

}  // namespace tarvix

namespace tarvix {

// The list views' alphabetical order: letters compared first without regard
// to case (Windows-1252 folding), then lower case before upper case on a tie.
int compareListText(std::string_view a, std::string_view b);

}  // namespace tarvix
