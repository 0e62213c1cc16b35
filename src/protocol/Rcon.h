#pragma once
// Remote console datagrams and the reading of their replies.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/UdpClient.h"

namespace tarvix {

// FF FF FF FF 02 "rcon " password " " command 0A 00; nothing escaped.
std::string rconRequest(std::string_view password, std::string_view command);

// Sends one rcon datagram to the client's server (UdpClient::setServer).
UdpResult sendRcon(UdpClient& client, std::string_view password, std::string_view command);

// Sends like SendRcon, then reads exactly one datagram, whoever sent it,
// within timeoutMs. On Ok, `bytes` holds the reply cleaned by CleanReply.
// A time-out means an empty reply text.
UdpResult rconQuery(UdpClient& client, std::string_view password, std::string_view command,
                    int timeoutMs, const StopSignal* stop = nullptr);

// Every FF byte removed, then every 01 "print" (any case).
std::string cleanReply(std::string_view reply);

// The console lines of a reply text: its last byte dropped, the rest split
// at line feeds; a final empty piece is no line.
std::vector<std::string> replyLines(std::string_view text);

// How a server took an rcon command's password, from its cleaned reply: a
// refusal says "Bad rconpassword." (or "No rconpassword set"); no reply at all
// is Silent.
enum class RconAccess { Accepted, Refused, Silent };
RconAccess rconAccess(std::string_view cleanedReply);

// A typed console line is sent without awaiting a reply when the whole
// datagram, password included, holds "quit" in any case.
bool rconAwaitsReply(std::string_view password, std::string_view command);

// Labels of the "dumpuser" settings: name padded to 21 characters and a colon.
inline constexpr std::string_view kRateLabel = "rate                 :";
inline constexpr std::string_view kAxisSkinLabel = "dm_playergermanmodel :";
inline constexpr std::string_view kAlliesSkinLabel = "dm_playermodel       :";

// Text from a server never ends, splits or adds to a command. A name put
// between double quotes ("kick", "dumpuser") is refused (nullopt) when it
// holds a control byte, which ends the command on the server, or a double
// quote, which ends the quoted name; otherwise it is returned quoted.
std::optional<std::string> quotedRconArgument(std::string_view name);
// Server text shown inside an unquoted "say" command: control bytes, double
// quotes and semicolons (a command separator on some servers) removed.
std::string sayText(std::string_view text);

// The value after the first occurrence of the label and one more character,
// up to the next line feed or, without one, up to the reply's last byte.
std::string dumpuserValue(std::string_view reply, std::string_view label);

// From a "status" reply: the address (without port) and the score of the
// first row whose whole name field is the name. A row reads: score, blank,
// ping right-aligned in four, blank, name, blanks, last-message time, blanks,
// address with port, further numbers; a number may stand before the score.
std::string statusAddress(std::string_view reply, std::string_view name);
std::string statusScore(std::string_view reply, std::string_view name);

}  // namespace tarvix
