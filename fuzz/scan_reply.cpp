// A status reply as the scan (and a buddy double-click) reads it: every value
// is a piece of the reply that follows its key, and every line after the
// info line is one player.
#include "FuzzSupport.h"
#include "base/Text.h"
#include "protocol/StatusReply.h"

using namespace tarvix;

namespace {

void checkValue(std::string_view raw, std::string_view key, const std::string& value) {
  FUZZ_CHECK(value.find_first_of("\\\n") == std::string::npos);
  if (!value.empty()) FUZZ_CHECK(contains(raw, std::string(key) + value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw = fuzz::bytes(data, size);
  const StatusReply r = readStatusReply(raw);
  FUZZ_CHECK(r.raw == raw);
  checkValue(raw, kHostNameKey, r.hostName);
  checkValue(raw, kMapNameKey, r.mapName);
  checkValue(raw, kMaxClientsKey, r.maxClients);
  checkValue(raw, kMapListKey, r.mapList);
  checkValue(raw, kVersionKey, r.version);
  checkValue(raw, kUrlKey, r.link);
  FUZZ_CHECK(r.hasLink == contains(raw, kUrlKey));
  FUZZ_CHECK(r.hasLink || r.link.empty());
  FUZZ_CHECK(r.edition == kEditionSpearhead || r.edition == kEditionBase);

  // Lines 3 and on are the players, a last line without line feed included.
  std::vector<std::string_view> lines = fuzz::splitAt(raw, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  const std::size_t expected = lines.size() > 2 ? lines.size() - 2 : 0;
  FUZZ_CHECK(r.players.size() == expected);
  std::vector<std::string> named;
  for (std::size_t i = 0; i < r.players.size(); ++i) {
    const Player& p = r.players[i];
    const std::string_view line = lines[i + 2];
    FUZZ_CHECK(line.starts_with(p.ping));
    FUZZ_CHECK(p.ping.find(' ') == std::string::npos && !fuzz::hasLineFeed(p.ping));
    FUZZ_CHECK(p.name.find('"') == std::string::npos && !fuzz::hasLineFeed(p.name));
    FUZZ_CHECK(p.hasName == contains(line, "\""));
    if (p.hasName)
      FUZZ_CHECK(contains(line, "\"" + p.name));
    else
      FUZZ_CHECK(p.name.empty());
    if (!p.name.empty()) named.push_back(p.name);
  }
  FUZZ_CHECK(scanPlayerNames(raw) == named);
  // The scan pass's one walk reads what the full reading does.
  const ScanReply scan = readScanReply(raw);
  FUZZ_CHECK(scan.mapName == r.mapName && scan.maxClients == r.maxClients);
  FUZZ_CHECK(scan.edition == r.edition);
  FUZZ_CHECK(std::vector<std::string>(scan.playerNames.begin(), scan.playerNames.end()) == named);
  FUZZ_CHECK(r.scanPlayerCount() == static_cast<int>(named.size()));

  long long max = 0;
  const bool number = maxClientsNumber(r.maxClients, max);
  FUZZ_CHECK(isFull(r.scanPlayerCount(), r.maxClients) == (number && r.scanPlayerCount() >= max));
  FUZZ_CHECK(scanAnswered(raw) == contains(raw, "\xFF\xFF\xFF\xFF"));
  return 0;
}
