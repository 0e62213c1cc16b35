#pragma once
// The bytes of the master server list exchange: the challenge the master
// opens with, the two lines the client answers, and the compressed list
// (6 bytes per server, then \final\) or a refusal (\echo\ or \fatal\).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// A listed server: IPv4 address and GameSpy query port, both in host order.
struct ListedServer {
  std::uint32_t ip = 0;
  std::uint16_t port = 0;
  bool operator==(const ListedServer&) const = default;
};

std::string dottedAddress(std::uint32_t ip);
// False for an address no server can have: 0.0.0.0/8, a broadcast or
// multicast address, and port 0.
bool usableServer(const ListedServer& server);
// Loopback, private (RFC 1918) and link-local addresses.
bool isPrivateAddress(std::uint32_t ip);

struct ListedDrops {
  std::size_t unusable = 0;  // addresses no server can have
  std::size_t privates = 0;  // private addresses listed by a master that is not at one
};
// Keeps the entries of a master's list that may be asked: usable ones, and
// private ones only when the master itself is at a private address (a LAN
// master), so a master cannot aim queries into the player's own network.
ListedDrops keepAskable(std::vector<ListedServer>& servers, std::uint32_t masterIp);

// Enough entries for every master in use many times over.
inline constexpr std::size_t kMaxListEntries = 100000;
// The most a greeting or a refusal may take.
inline constexpr std::size_t kMaxGreetingBytes = 4096;

enum class GreetingState { Incomplete, Challenge, Refused, Malformed };
struct Greeting {
  GreetingState state = GreetingState::Incomplete;
  std::string challenge;  // Challenge: the value after \secure\ (at most 6 bytes)
  std::string message;    // Refused and Malformed: what the master said or sent
};
// Reads the master's opening bytes so far; `closed` when the master has
// closed the connection.
Greeting readGreeting(std::string_view bytes, bool closed);

// "\gamename\G\gamever\3.0\location\0\validate\V\final\\queryid\1.1": without a
// last backslash, so that a master reading it together with the list request
// and pairing the pieces key, value still finds "list" as a key.
std::string validateLine(std::string_view game, std::string_view validate);
// "\list\cmp\gamename\G\final\"
std::string listRequest(std::string_view game);

enum class ListState { Incomplete, Complete, Refused, Malformed, TooLong };
struct ListReply {
  ListState state = ListState::Incomplete;
  std::vector<ListedServer> servers;  // Complete: every entry, as listed
  std::string message;                // otherwise: what went wrong
};
// The most bytes a list of `maxEntries` servers takes.
std::size_t maxListBytes(std::size_t maxEntries);
// Reads the list reply so far, deciding by structure: whole 6-byte entries
// followed by \final\ are a list (Complete), even when the first entry's
// bytes spell a keyword; \echo\ or \fatal\ followed by text is a refusal.
// `closed` turns an incomplete reply into a failure.
ListReply readListReply(std::string_view bytes, bool closed,
                        std::size_t maxEntries = kMaxListEntries);
// The same after a challenge that came without its \final\: the bytes may
// open with that \final\, so they are read with and without it; whichever
// reading is a whole list counts (their lengths differ by 7: at most one is).
ListReply readListReplyAfterBareChallenge(std::string_view bytes, bool closed,
                                          std::size_t maxEntries = kMaxListEntries);

}  // namespace tarvix
