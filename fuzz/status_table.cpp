// A "status" reply as the anti-cheat worker reads it: the player rows, and a
// player's address and score. Every value is a piece of the reply; address
// and score are pieces of one row.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "FuzzSupport.h"
#include "admin/core/AntiCheatPass.h"
#include "base/Text.h"
#include "protocol/Rcon.h"

using namespace tarvix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string name = in.ConsumeRandomLengthString(40);
  const std::string reply = in.ConsumeRemainingBytesAsString();

  for (const ConsolePlayer& p : antiCheatPlayers(reply)) {
    FUZZ_CHECK(p.ping.ends_with(' ') && p.ping.find(' ') == p.ping.size() - 1);
    FUZZ_CHECK(p.name.find('"') == std::string::npos);
    // A name is taken whole, line feeds included: the pass refuses to put
    // such a name into a command and escapes it in its logs.
    FUZZ_CHECK(contains(reply, "\n" + p.ping) && contains(reply, "\"" + p.name));
    // A name that is accepted into a command keeps the datagram one command.
    if (const auto quoted = quotedRconArgument(p.name)) {
      const std::string d = rconRequest("pw", "dumpuser " + *quoted);
      FUZZ_CHECK(d.find_first_of(std::string_view("\n\r\0", 3)) == d.size() - 2);
      FUZZ_CHECK(std::count(d.begin(), d.end(), '"') == 2);
    }
    for (char c : sayText(p.name)) FUZZ_CHECK(!isControlByte(c) && c != '"' && c != ';');
  }

  const std::string address = statusAddress(reply, name);
  FUZZ_CHECK(address.find_first_of(" :\n") == std::string::npos);
  FUZZ_CHECK(fuzz::isPiece(address, reply));
  if (name.empty() || !contains(reply, name)) FUZZ_CHECK(address.empty());

  const std::string score = statusScore(reply, name);
  FUZZ_CHECK(score.find_first_of(" \r\n") == std::string::npos);
  if (!address.empty()) FUZZ_CHECK(!score.empty());
  if (!score.empty()) {
    // The score ends seven characters before an occurrence of the name.
    bool placed = false;
    for (std::size_t at = reply.find(name); at != std::string::npos && !placed;
         at = reply.find(name, at + 1))
      placed = at >= 7 && reply.substr(0, at - 6).ends_with(score);
    FUZZ_CHECK(placed);
  }
  return 0;
}
