#include <gtest/gtest.h>

#include <string>

#include "base/CodePage.h"
#include "base/Text.h"

using namespace tarvix;

TEST(CodePage, EveryByteRoundTripsAndTheHighRangeIsWindows1252) {
  for (int b = 0; b < 256; ++b) {
    const char32_t c = codePageToUnicode(static_cast<unsigned char>(b));
    ASSERT_EQ(unicodeToCodePage(c), static_cast<unsigned char>(b)) << b;
  }
  // Bytes 80-9F as the code page's published table gives them; the five it
  // leaves undefined keep their own value.
  constexpr char32_t kStandard[32] = {
      U'€', 0x81, U'‚', U'ƒ', U'„', U'…', U'†', U'‡', U'ˆ', U'‰', U'Š',
      U'‹', U'Œ', 0x8D, U'Ž', 0x8F, 0x90, U'‘', U'’', U'“', U'”', U'•',
      U'–', U'—', U'˜', U'™', U'š', U'›', U'œ', 0x9D, U'ž', U'Ÿ',
  };
  for (int b = 0x80; b <= 0x9F; ++b)
    EXPECT_EQ(static_cast<unsigned>(codePageToUnicode(static_cast<unsigned char>(b))),
              static_cast<unsigned>(kStandard[b - 0x80]))
        << std::hex << b;
  EXPECT_EQ(codePageToUnicode(0xE9), U'\u00E9');  // é as in Latin-1
}

TEST(CodePage, CharactersOutsideTheCodePageAreRefused) {
  EXPECT_EQ(unicodeToCodePage(U'\u20AC'), 0x80);
  for (char32_t c : {U'\u0141', U'\u0430', U'\u0080', U'\u009F', U'\uFFFD', U'\U0001F600'})
    EXPECT_FALSE(unicodeToCodePage(c).has_value()) << static_cast<unsigned>(c);
}

// Every capital letter of the code page folds to its small letter and back;
// every other byte is left alone by both directions.
TEST(CodePage, CaseFoldingPairsEveryLetterOfTheCodePage) {
  const std::u32string capitals = U"ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŠŒŽŸ";
  const std::u32string smalls = U"abcdefghijklmnopqrstuvwxyzàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþšœžÿ";
  ASSERT_EQ(capitals.size(), smalls.size());
  int lowerOf[256], upperOf[256];
  for (int b = 0; b < 256; ++b) lowerOf[b] = upperOf[b] = b;
  for (std::size_t i = 0; i < capitals.size(); ++i) {
    const int capital = *unicodeToCodePage(capitals[i]), small = *unicodeToCodePage(smalls[i]);
    lowerOf[capital] = small;
    upperOf[small] = capital;
  }
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    EXPECT_EQ(static_cast<unsigned char>(lowerChar(c)), lowerOf[b]) << std::hex << b;
    EXPECT_EQ(static_cast<unsigned char>(upperChar(c)), upperOf[b]) << std::hex << b;
    EXPECT_TRUE(equalsNoCase(std::string(1, c), std::string(1, static_cast<char>(lowerOf[b]))));
  }
}
