// A master server's bytes as the list exchange reads them: the greeting with
// its challenge, and the compressed list, whole or cut off, with a small cap;
// and the input's bytes taken as entries, encoded as a list and read back.
#include <algorithm>

#include "FuzzSupport.h"
#include "base/Text.h"
#include "protocol/MasterList.h"

using namespace tarvix;

namespace {

constexpr std::size_t kCap = 64;

std::uint32_t byteAt(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

// Whole entries followed by \final\ read back as those entries, after a
// challenge with or without its \final\, unless the bytes have a refusal's
// shape (its key, then text without a backslash), which a list of entries
// spelling text can take.
void checkRoundTrip(std::string_view raw) {
  std::string list(raw.substr(0, raw.size() - raw.size() % 6));
  list += "\\final\\";
  for (const ListReply& r : {readListReply(list, true), readListReplyAfterBareChallenge(list, true),
                             readListReplyAfterBareChallenge("\\final\\" + list, true)}) {
    if (r.state == ListState::Refused) {
      const std::size_t key = list.rfind("\\echo\\", 0) == 0 ? 6 : 7;
      FUZZ_CHECK(key == 6 || list.rfind("\\fatal\\", 0) == 0);
      FUZZ_CHECK(list.find('\\', key) == list.size() - 7);
      continue;
    }
    FUZZ_CHECK(r.state == ListState::Complete);
    FUZZ_CHECK(r.servers.size() * 6 + 7 == list.size());
    for (std::size_t i = 0; i < r.servers.size(); ++i) {
      const ListedServer& s = r.servers[i];
      FUZZ_CHECK(s.ip == (byteAt(list, i * 6) << 24 | byteAt(list, i * 6 + 1) << 16 |
                          byteAt(list, i * 6 + 2) << 8 | byteAt(list, i * 6 + 3)));
      FUZZ_CHECK(s.port == (byteAt(list, i * 6 + 4) << 8 | byteAt(list, i * 6 + 5)));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw = fuzz::bytes(data, size);
  checkRoundTrip(raw.substr(0, std::min<std::size_t>(size, kCap * 6)));
  for (bool closed : {false, true}) {
    const Greeting g = readGreeting(raw, closed);
    if (g.state == GreetingState::Challenge) {
      FUZZ_CHECK(!g.challenge.empty() && g.challenge.size() <= 6);
      FUZZ_CHECK(g.challenge.find('\\') == std::string::npos);
      FUZZ_CHECK(fuzz::isPiece("\\secure\\" + g.challenge, raw));
    }
    if (closed) FUZZ_CHECK(g.state != GreetingState::Incomplete);
    FUZZ_CHECK(!hasControlByte(g.message));

    const ListReply r = readListReply(raw, closed, kCap);
    FUZZ_CHECK(!hasControlByte(r.message));
    if (closed) FUZZ_CHECK(r.state != ListState::Incomplete);
    if (r.state == ListState::TooLong) FUZZ_CHECK(size > maxListBytes(kCap));
    if (r.state != ListState::Complete) {
      FUZZ_CHECK(r.servers.empty());
      continue;
    }
    FUZZ_CHECK(r.servers.size() <= kCap);
    FUZZ_CHECK(r.servers.size() * 6 + 7 == size);
    FUZZ_CHECK(raw.substr(size - 7) == "\\final\\");
    for (std::size_t i = 0; i < r.servers.size(); ++i) {
      const ListedServer& s = r.servers[i];
      FUZZ_CHECK(s.ip == (byteAt(raw, i * 6) << 24 | byteAt(raw, i * 6 + 1) << 16 |
                          byteAt(raw, i * 6 + 2) << 8 | byteAt(raw, i * 6 + 3)));
      FUZZ_CHECK(s.port == (byteAt(raw, i * 6 + 4) << 8 | byteAt(raw, i * 6 + 5)));
      if (usableServer(s)) FUZZ_CHECK(s.port != 0 && (s.ip >> 24) != 0 && (s.ip >> 24) < 224);
    }
  }
  return 0;
}
