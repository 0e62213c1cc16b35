// Colour codes, the numeric orders of the server view and the filter bar's
// rule: pure functions over the rows' texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/ServerFilter.h"
#include "app/core/ServerRow.h"
#include "base/ColourCodes.h"
#include "base/SortText.h"

using namespace tarvix;

TEST(ColourCodes, CodesSplitRunsAndAreHidden) {
  using R = std::vector<ColourRun>;
  const struct {
    const char* text;
    R runs;
  } cases[] = {
      {"plain", R{{"plain", kDefaultColour}}},
      {"^1Red^7White", R{{"Red", 1}, {"White", 7}}},
      {"a^0b^9c", R{{"a", kDefaultColour}, {"b", 0}, {"c", 9}}},
      // a repeated or leading code starts no empty run
      {"^1^1x^2^3y", R{{"x", 1}, {"y", 3}}},
      // "^" without a digit after it is text, also at the very end
      {"^a^^1b^", R{{"^a^", kDefaultColour}, {"b^", 1}}},
      {"^", R{{"^", kDefaultColour}}},
      {"^4", R{}},
      {"", R{}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(colourRuns(c.text), c.runs) << c.text;
    std::string joined;
    for (const ColourRun& r : c.runs) joined += r.text;
    EXPECT_EQ(withoutColourCodes(c.text), joined) << c.text;
  }
}

TEST(ColourCodes, WhiteAndUnknownUseTheViewColourOthersAreDistinct) {
  EXPECT_EQ(colourRgb(7), -1);
  EXPECT_EQ(colourRgb(kDefaultColour), -1);
  EXPECT_EQ(colourRgb(10), -1);
  EXPECT_NE(colourRgb(0), colourRgb(1));
}

TEST(NumericSort, PlayerCaptionsByCountThenMaximumThenFullThenTheRest) {
  std::vector<std::string> captions = {"no response", "10/20",      "FULL", "4/16", "not scanned",
                                       "4/8",         "sends shit", "0/16", "x/16", "100/128"};
  std::sort(captions.begin(), captions.end(), [](const std::string& a, const std::string& b) {
    return comparePlayerCaptions(a, b) < 0;
  });
  EXPECT_EQ(captions,
            (std::vector<std::string>{"0/16", "4/8", "4/16", "10/20", "100/128", "FULL",
                                      "no response", "not scanned", "sends shit", "x/16"}));
  EXPECT_EQ(comparePlayerCaptions("4/16", "4/16"), 0);
  EXPECT_TRUE(isAnsweredCaption("3/16"));
  EXPECT_TRUE(isAnsweredCaption("FULL"));
  EXPECT_FALSE(isAnsweredCaption("no response"));
  EXPECT_FALSE(isAnsweredCaption("3/"));
}

TEST(NumericSort, NumbersByValueOtherTextAfter) {
  EXPECT_LT(compareNumberTexts("95", "120"), 0);
  EXPECT_GT(compareNumberTexts("120", "95"), 0);
  EXPECT_EQ(compareNumberTexts("7", "7"), 0);
  EXPECT_LT(compareNumberTexts("9999", ""), 0);
  EXPECT_GT(compareNumberTexts("", "0"), 0);
  EXPECT_LT(compareNumberTexts("", "-"), 0);
}

TEST(ServerFilter, EachBoxHidesOnlyItsRowsByState) {
  const std::vector<std::string> none, one = {"Al"};
  const struct {
    int state;
    const std::vector<std::string>* players;
    bool empty, full, dead;  // passes with only that box ticked
  } cases[] = {
      {RowAnswered, &none, false, true, true},  {RowAnswered, &one, true, true, true},
      {RowFull, &one, true, false, true},       {RowNoAnswer, &none, true, true, false},
      {RowNotScanned, &none, true, true, true},
  };
  for (const auto& c : cases) {
    const FilterRow row{c.state, "dm/mohdm1", "host", c.players};
    ServerFilter f;
    EXPECT_TRUE(rowPassesFilter(f, row)) << c.state;
    f.hideEmpty = true;
    EXPECT_EQ(rowPassesFilter(f, row), c.empty) << c.state;
    f = {};
    f.hideFull = true;
    EXPECT_EQ(rowPassesFilter(f, row), c.full) << c.state;
    f = {};
    f.hideNoResponse = true;
    EXPECT_EQ(rowPassesFilter(f, row), c.dead) << c.state;
  }
}

TEST(ServerRow, OneRuleForTheCaptionAndStateOfAnAnswer) {
  const struct {
    long long players;
    const char* max;
    const char* caption;
    int icon;
  } cases[] = {
      {15, "16", "15/16", RowAnswered},
      {16, "16", "FULL", RowFull},
      {17, "16", "FULL", RowFull},
      {0, "16", "0/16", RowAnswered},
      {3, "lots", "sends shit", RowNoAnswer},
  };
  for (const auto& c : cases) {
    const ScanRow row = answeredRow("h", c.players, c.max, "map", "game");
    EXPECT_EQ(row.caption, c.caption) << c.players << "/" << c.max;
    EXPECT_EQ(row.icon, c.icon) << c.players << "/" << c.max;
  }
}

TEST(ServerFilter, TextMatchesNameMapOrPlayerIgnoringCaseAndColourCodes) {
  const std::vector<std::string> players = {"^1Sni^7per", "Medic"};
  const FilterRow row{RowAnswered, "obj/obj_team2", "^4Blue ^7Clan Server", &players};
  const struct {
    const char* text;
    bool shown;
  } cases[] = {
      {"blue clan", true}, {"^4blue", true}, {"OBJ_TEAM2", true}, {"sniper", true},
      {"medic", true},     {"^1Sni", true},  {"team3", false},    {"nobody", false},
  };
  for (const auto& c : cases) {
    ServerFilter f;
    f.text = c.text;
    EXPECT_FALSE(f.hidesNothing());
    EXPECT_EQ(rowPassesFilter(f, row), c.shown) << c.text;
  }
  ServerFilter f;
  f.text = "medic";
  EXPECT_FALSE(rowPassesFilter(f, FilterRow{RowAnswered, "map", "host", nullptr}));
  f.hideEmpty = true;
  f.text = "host";
  EXPECT_FALSE(rowPassesFilter(f, FilterRow{RowAnswered, "map", "host", nullptr}));
  ServerFilter country;
  country.country = "DE";
  EXPECT_FALSE(country.hidesNothing());
  EXPECT_TRUE(rowPassesFilter(country, FilterRow{RowAnswered, "map", "host", nullptr, "DE"}));
  EXPECT_FALSE(rowPassesFilter(country, FilterRow{RowAnswered, "map", "host", nullptr, "AT"}));
}
