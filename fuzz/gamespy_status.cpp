// A GameSpy status reply as a query reads it: the input's first byte
// separates the datagrams that follow; they are put together by part number
// and, once whole, read as key and value pairs.
#include "FuzzSupport.h"
#include "protocol/GameSpyStatus.h"

using namespace tarvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view raw = fuzz::bytes(data, size);
  const std::vector<std::string_view> datagrams = fuzz::splitAt(raw.substr(1), raw[0]);
  GameSpyReplyParts parts;
  for (std::string_view d : datagrams) parts.add(d);
  FUZZ_CHECK(!(parts.complete() && parts.spoiled()));
  const std::string text = parts.text();
  FUZZ_CHECK(text.size() <= kMaxReplyBytes);
  if (parts.complete()) FUZZ_CHECK(fuzz::isPiece("\\final\\", text));

  const GameSpyStatus s = readGameSpyStatus(parts.complete() ? text : raw);
  FUZZ_CHECK(s.hostPort >= 0 && s.hostPort <= 65535);
  FUZZ_CHECK(s.numPlayers >= 0 && s.maxPlayers >= 0);
  FUZZ_CHECK(s.players.size() <= static_cast<std::size_t>(kMaxGameSpyPlayers));
  for (const std::string* value :
       {&s.hostName, &s.mapName, &s.gameType, &s.gameName, &s.gameVersion}) {
    FUZZ_CHECK(value->find('\\') == std::string::npos);
  }
  for (const GameSpyPlayer& p : s.players) {
    FUZZ_CHECK(p.name.find('\\') == std::string::npos);
    FUZZ_CHECK(p.ping >= 0);
  }
  return 0;
}
