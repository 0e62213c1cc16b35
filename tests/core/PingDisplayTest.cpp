// Ping time from the host checker's lines, ping field colour, graph steps.
#include <gtest/gtest.h>

#include "app/core/PingDisplay.h"

using namespace tarvix;

TEST(PingDisplay, PingTextFromCheckerLines) {
  EXPECT_EQ(pingTextOf("Ping for 10.0.0.1, received 1 bytes from 10.0.0.1 in 45ms"),
            std::optional<std::string>("45"));
  EXPECT_EQ(pingTextOf("Ping for localhost, received 1 bytes from 127.0.0.1 in 0ms"),
            std::optional<std::string>("0"));
  // An "m" in the host name before " in " does not cut the time short.
  EXPECT_EQ(pingTextOf("Ping for mohaa.example, received 1 bytes from 1.2.3.4 in 120ms"),
            std::optional<std::string>("120"));
  // Verdicts and failed pings carry no time.
  EXPECT_EQ(pingTextOf("No link to 10.0.0.1."), std::nullopt);
  EXPECT_EQ(pingTextOf("There is link to 10.0.0.1."), std::nullopt);
  EXPECT_EQ(pingTextOf("Ping for 10.0.0.1, Request timed out"), std::nullopt);
  EXPECT_EQ(pingTextOf("Ping for 10.0.0.1, "), std::nullopt);
}

TEST(PingDisplay, FieldColour) {
  EXPECT_EQ(pingFieldColour("0"), PingColour::Green);
  EXPECT_EQ(pingFieldColour("99"), PingColour::Green);
  EXPECT_EQ(pingFieldColour("100"), PingColour::Red);
  EXPECT_EQ(pingFieldColour("3000"), PingColour::Red);
  EXPECT_EQ(pingFieldColour(""), PingColour::Black);
  EXPECT_EQ(pingFieldColour("12x"), PingColour::Black);
  EXPECT_EQ(pingFieldColour(" 12"), PingColour::Black);
}

TEST(PingDisplay, GraphStepsByRange) {
  struct Case {
    long long p;
    int y;
    PingColour colour;
  };
  const Case cases[] = {
      {0, 20, PingColour::Navy},
      {45, 16, PingColour::Navy},
      {49, 16, PingColour::Navy},
      {50, 13, PingColour::Green},
      {75, 11, PingColour::Green},
      {99, 9, PingColour::Green},
      {100, 15, PingColour::Purple},
      {120, 15, PingColour::Purple},
      {999, 7, PingColour::Purple},
      {1000, 6, PingColour::Purple},
      {1001, 9, PingColour::Red},
      {1500, 4, PingColour::Red},
      // Below 1 is clamped to 1 in red.
      {1800, 1, PingColour::Red},
      {3000, 1, PingColour::Red},
  };
  for (const Case& c : cases) {
    const GraphStep s = graphStepFor(c.p);
    EXPECT_EQ(s.y, c.y) << c.p;
    EXPECT_EQ(s.colour, c.colour) << c.p;
  }
}

TEST(PingDisplay, GraphRunsLeftAndStartsOver) {
  int x = kGraphStartX;
  int steps = 0;
  for (; steps < 1000; ++steps) {
    const GraphAdvance a = advanceGraphX(x);
    if (a.restart) break;
    x = a.x;
  }
  // 250 steps bring the pen to 0; the next one starts over at 250.
  EXPECT_EQ(steps, 250);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(advanceGraphX(0).x, kGraphStartX);
  EXPECT_TRUE(advanceGraphX(-3).restart);
}
