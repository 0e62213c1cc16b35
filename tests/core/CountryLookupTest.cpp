// Country look-up against the installed legacy database, whose own tool
// (geoiplookup) gives the expected answers, and without a database.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/core/CountryLookup.h"

using namespace tarvix;

namespace {

const char* const kLegacyDatabase = "/usr/share/GeoIP/GeoIP.dat";

// "GeoIP Country Edition: US, United States" as {"US", "United States"}.
Country toolAnswer(const std::string& address) {
  const std::string command = std::string("geoiplookup -f ") + kLegacyDatabase + " " + address;
  FILE* out = popen(command.c_str(), "r");
  if (!out) return {};
  char line[256] = {};
  const bool read = fgets(line, sizeof line, out) != nullptr;
  pclose(out);
  std::string text = read ? line : "";
  const std::size_t colon = text.find(": "), comma = text.find(", ");
  if (colon == std::string::npos || comma == std::string::npos) return {};
  std::string name = text.substr(comma + 2);
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
  return {text.substr(colon + 2, comma - colon - 2), name};
}

}  // namespace

TEST(CountryLookup, AnswersAsTheDatabaseToolDoes) {
  CountryLookup lookup({"/nonexistent/GeoLite2-Country.mmdb", kLegacyDatabase});
  ASSERT_TRUE(lookup.available());
  EXPECT_EQ(lookup.databasePath(), kLegacyDatabase);
  int known = 0;
  for (const char* address : {"8.8.8.8", "81.2.69.142", "193.0.6.139", "202.12.27.33",
                              "200.160.2.3", "41.208.68.1", "10.0.0.1", "127.0.0.1"}) {
    const Country expected = toolAnswer(address);
    known += expected.code.empty() ? 0 : 1;
    EXPECT_EQ(lookup.lookup(address), expected) << address;
    EXPECT_EQ(lookup.lookup(address), expected) << address << " (kept)";
  }
  EXPECT_GE(known, 5);
  // A host name is never resolved.
  EXPECT_EQ(lookup.lookup("localhost"), Country{});
}

TEST(CountryLookup, WithoutADatabaseEveryAnswerIsUnknown) {
  CountryLookup lookup({"/nonexistent/GeoLite2-Country.mmdb", "/nonexistent/GeoIP.dat"});
  EXPECT_FALSE(lookup.available());
  EXPECT_EQ(lookup.lookup("8.8.8.8"), Country{});
}
