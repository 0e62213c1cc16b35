#include <gtest/gtest.h>

#include "base/CodePage.h"

using namespace tarvix;

TEST(CodePage, EveryByteRoundTripsAndTheHighRangeIsWindows1252) {
  for (int b = 0; b < 256; ++b) {
    const char32_t c = codePageToUnicode(static_cast<unsigned char>(b));
    ASSERT_EQ(unicodeToCodePage(c), static_cast<unsigned char>(b)) << b;
  }
  EXPECT_EQ(codePageToUnicode(0x80), U'\u20AC');  // €
  EXPECT_EQ(codePageToUnicode(0x8A), U'\u0160');  // Š
  EXPECT_EQ(codePageToUnicode(0x9F), U'\u0178');  // Ÿ
  EXPECT_EQ(codePageToUnicode(0x99), U'\u2122');  // ™
  EXPECT_EQ(codePageToUnicode(0xE9), U'\u00E9');  // é as in Latin-1
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
    EXPECT_EQ(codePageToUnicode(undefined), char32_t(undefined));
}

TEST(CodePage, CharactersOutsideTheCodePageAreRefused) {
  EXPECT_EQ(unicodeToCodePage(U'\u20AC'), 0x80);
  for (char32_t c : {U'\u0141', U'\u0430', U'\u0080', U'\u009F', U'\uFFFD', U'\U0001F600'})
    EXPECT_FALSE(unicodeToCodePage(c).has_value()) << static_cast<unsigned>(c);
}
