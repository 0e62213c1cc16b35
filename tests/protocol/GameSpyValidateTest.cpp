#include <gtest/gtest.h>

#include "protocol/GameSpyValidate.h"

namespace tarvix {
namespace {

TEST(GameSpyValidate, KnownVectorsPerGame) {
  struct Case {
    const char* game;
    const char* challenge;
    const char* validate;
  };
  for (const Case& c :
       {Case{"mohaa", "ABCDEF", "iA2tel80"}, Case{"mohaa", "QWERTY", "j4IUdh1r"},
        Case{"mohaas", "ABCDEF", "JiJ4NLKM"}, Case{"mohaab", "ABCDEF", "1AXZQ71M"}}) {
    SCOPED_TRACE(std::string(c.game) + " " + c.challenge);
    EXPECT_EQ(gameSpyValidate(gameSecretKey(c.game), c.challenge), c.validate);
  }
  EXPECT_TRUE(gameSecretKey("q3a").empty());
}

// Challenges that do not fill the last group of three bytes get padding.
TEST(GameSpyValidate, ShortChallengesArePadded) {
  const std::string_view key = gameSecretKey("mohaa");
  EXPECT_EQ(gameSpyValidate(key, "ABCDE"), "iA2tel8=");
  EXPECT_EQ(gameSpyValidate(key, "ABCD"), "iA2teg==");
  EXPECT_EQ(gameSpyValidate(key, ""), "");
  EXPECT_TRUE(gameSecretKey("MOHAA").empty());
}

}  // namespace
}  // namespace tarvix
