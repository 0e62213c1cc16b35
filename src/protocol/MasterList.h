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

// "\gamename\G\gamever\3.0\location\0\validate\V\final\\queryid\1.1\"
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
// Reads the list reply so far. Complete as soon as the bytes are whole
// entries followed by \final\; `closed` turns an incomplete reply into a
// failure.
ListReply readListReply(std::string_view bytes, bool closed,
                        std::size_t maxEntries = kMaxListEntries);

}  // namespace tarvix
