#pragma once
// The games' single-byte code page, Windows-1252, as Unicode code points.
// Every byte maps to one code point and back: the five bytes the code page
// leaves undefined (81, 8D, 8F, 90, 9D) map to the control code points of the
// same value, so any byte string survives a round trip.
#include <optional>

namespace tarvix {

char32_t codePageToUnicode(unsigned char byte);
// The byte for a code point, or nullopt when the code page cannot hold it.
std::optional<unsigned char> unicodeToCodePage(char32_t codePoint);

}  // namespace tarvix
