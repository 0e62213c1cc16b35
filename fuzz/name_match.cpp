// The name-list matchers against one case folding: a buddy is the name in any
// case, a clan tag or a (not blank) ban occurs in the folded name (or IP
// text), a skin is equal as it is; map pairs put back into lines give the
// lines again.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "base/Text.h"
#include "store/NameLists.h"

using namespace tarvix;

namespace {
bool foldedContains(std::string_view hay, std::string_view needle) {
  return lowerAnsi(hay).find(lowerAnsi(needle)) != std::string::npos;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string entry = in.ConsumeRandomLengthString(24);
  const std::string name = in.ConsumeRandomLengthString(40);
  const std::string ip = in.ConsumeRandomLengthString(24);
  const std::string rest = in.ConsumeRemainingBytesAsString();

  const bool buddy = buddyMatches(entry, name);
  FUZZ_CHECK(buddy == (lowerAnsi(entry) == lowerAnsi(name)));
  FUZZ_CHECK(buddy == buddyMatches(name, entry));
  FUZZ_CHECK(buddy == buddyMatches(upperAnsi(entry), lowerAnsi(name)));

  const bool tag = clantagMatches(entry, name);
  FUZZ_CHECK(tag == (!entry.empty() && foldedContains(name, entry)));
  FUZZ_CHECK(tag == clantagMatches(upperAnsi(entry), name));
  if (buddy && !entry.empty()) FUZZ_CHECK(tag);

  const bool ban = banMatches(entry, name, ip);
  if (isBlank(entry))
    FUZZ_CHECK(!ban);
  else
    FUZZ_CHECK(ban == (foldedContains(name, entry) || foldedContains(ip, entry)));

  FUZZ_CHECK(skinMatches(entry, name, ip) == (entry == name || entry == ip));

  const std::vector<std::string> lines = splitLines(rest);
  std::vector<std::string> padded = lines;
  if (padded.size() % 2) padded.emplace_back();
  const std::vector<MapEntry> maps = mapPairs(lines);
  FUZZ_CHECK(maps.size() == padded.size() / 2);
  FUZZ_CHECK(mapFileLines(maps) == padded);
  return 0;
}
