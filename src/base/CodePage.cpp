#include "base/CodePage.h"

namespace tarvix {

namespace {

// Bytes 80-9F; the rest of the code page equals Unicode (Latin-1).
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

char32_t codePageToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : char32_t(byte);
}

std::optional<unsigned char> unicodeToCodePage(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    return static_cast<unsigned char>(codePoint);
  for (unsigned i = 0; i < 32; ++i)
    if (kHigh[i] == codePoint) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

}  // namespace tarvix
