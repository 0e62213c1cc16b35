#pragma once
// Finds servers: the internet list from master servers and the LAN by broadcast,
// then asks each server found for its GameSpy status.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/StopSignal.h"
#include "store/ServerLists.h"  // ServerEntry

namespace tarvix {

struct MasterAddress {
  std::string host;
  std::uint16_t port = 28900;
};
// The community masters, used when the user configured none.
const std::vector<MasterAddress>& defaultMasters();
// "HOST" or "HOST:PORT"; false for an empty host or a port outside 1..65535.
bool parseMasterAddress(std::string_view text, MasterAddress& out);

struct DiscoveryRequest {
  std::vector<MasterAddress> masters;                 // none: no internet list
  std::vector<std::string> games{"mohaa", "mohaas"};  // "mohaa", "mohaas", "mohaab"
  bool lan = false;                                   // broadcast \status\ on the LAN
  std::string lanAddress = "255.255.255.255";         // tests use 127.0.0.1
  std::uint16_t lanFirstPort = 12300, lanLastPort = 12316;
  int timeoutMs = 500;         // each server query, the LAN wait
  int masterTimeoutMs = 5000;  // each step of a master exchange (connect, challenge, list)
  int parallel = 1;            // servers queried at once; 1 = one after the other
  bool queryServers = true;    // false: addresses only (--list-only)
};

// Sets the LAN ports to first..last when 1 <= first <= last <= 65535;
// otherwise (a reversed or impossible range from tarvix.ini) keeps the
// request's range and returns false.
bool setLanPorts(DiscoveryRequest& request, int first, int last);

struct FoundPlayer {
  std::string name;
  int frags = 0, deaths = 0, ping = 0;
};

struct FoundServer {
  std::string ip;  // dotted IPv4
  std::uint16_t queryPort = 0;
  std::uint16_t gamePort = 0;  // "hostport", else queryPort - 97
  bool answered = false;       // a complete \status\ reply came back
  std::string hostName, mapName, gameType, gameName, gameVersion;  // bytes as sent (Windows-1252)
  int numPlayers = 0, maxPlayers = 0;
  int pingMs = -1;
  std::vector<FoundPlayer> players;
};

// The edition a found server's game name stands for, as the scan's rows name
// it: "Spearhead" for "mohaas", the base game's name otherwise.
std::string foundEdition(const FoundServer& s);

// What went wrong with one source.
enum class SourceProblem {
  CannotResolve,      // the master's name was not found
  ConnectionRefused,  // nothing listens at the master's address
  Unreachable,        // no route to the master, or no connection within the time-out
  TimedOut,           // connected, but the master stopped making progress
  CutOff,             // the master kept sending but never finished
  Closed,             // the master closed or reset the connection mid-exchange
  Refused,            // the master refused with a text of its own (\echo\, \fatal\)
  NotAList,           // the master's bytes are no list
  NoResources,        // no socket or thread could be had
  NoAnswer,           // LAN: no server answered
  BadAddress,         // LAN: the address is no IPv4 address
  Other,
};

struct SourceFailure {
  std::string source;  // "master HOST:PORT (GAME)" or "LAN"
  SourceProblem problem = SourceProblem::Other;
  std::string what;    // what happened, e.g. "no challenge within 5000 ms"
  std::string advice;  // what the player can try
  // "SOURCE: WHAT"
  std::string line() const { return source + ": " + what; }
};

struct DiscoveryResult {
  std::vector<FoundServer> servers;     // de-duplicated, stable order
  std::vector<SourceFailure> failures;  // one per failing source, in the request's order
  // Set when nothing could be asked at all: "no master server to ask", or
  // "no master could be reached: ..." when every master failed to connect.
  std::string summary;
  // The summary when there is one, else one line per failure (the failures' line()).
  std::vector<std::string> messages;
  int sourcesAnswered = 0;  // masters that delivered a list, +1 when the LAN answered
  int privateDropped = 0;   // loopback, private and link-local entries dropped from masters' lists
};

// Progress texts for a status bar ("3 of 120 servers asked" and the like).
using DiscoveryProgress = std::function<void(const std::string& text)>;

// Each server as soon as it is known: a listed server when its query has
// finished (answered or silent; when listed, with queryServers false), a LAN
// server when its reply is in. Called on a discovery thread, one call at a time.
using DiscoveryFound = std::function<void(const FoundServer& server)>;

// Blocks until done or until `stop` is requested (then returns at once with what it has).
DiscoveryResult discoverServers(const DiscoveryRequest& request, const StopSignal& stop,
                                const DiscoveryProgress& progress = {},
                                const DiscoveryFound& found = {});

// Entries (name = host name, ip, game port) for the servers that answered, names made
// unique within the list and safe as list-file lines, ready for a server list file.
std::vector<ServerEntry> listEntriesFor(const DiscoveryResult& result);

}  // namespace tarvix
