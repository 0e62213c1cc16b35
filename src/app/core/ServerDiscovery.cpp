#include "app/core/ServerDiscovery.h"

#include <set>

#include "base/Text.h"

namespace tarvix {

const std::vector<MasterAddress>& defaultMasters() {
  static const std::vector<MasterAddress> masters{
      {"master.333networks.com", 28900}, {"master.errorist.eu", 28900},
      {"master.frag-net.com", 28900},    {"master-au.unrealarchive.org", 28900},
      {"master.noccer.de", 28900},
  };
  return masters;
}

bool parseMasterAddress(std::string_view text, MasterAddress& out) {
  std::string_view host = text;
  std::uint16_t port = 28900;
  std::size_t colon = text.rfind(':');
  if (colon != std::string_view::npos) {
    host = text.substr(0, colon);
    long long value = 0;
    if (!parseInt(text.substr(colon + 1), value) || value < 1 || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
  }
  if (host.empty() || hasControlByte(host) || host.find(' ') != std::string_view::npos)
    return false;
  out.host = std::string(host);
  out.port = port;
  return true;
}

DiscoveryResult discoverServers(const DiscoveryRequest&, const StopSignal&,
                                const DiscoveryProgress&) {
  return {};
}

std::vector<ServerEntry> listEntriesFor(const DiscoveryResult& result) {
  std::vector<ServerEntry> entries;
  // A name must not equal any other line of the list: lookups and removals
  // match a name against every line, addresses and ports included.
  std::set<std::string> taken;
  for (const FoundServer& s : result.servers) {
    if (!s.answered) continue;
    taken.insert(s.ip);
    taken.insert(std::to_string(s.gamePort));
  }
  for (const FoundServer& s : result.servers) {
    if (!s.answered) continue;
    std::string address = s.ip + ":" + std::to_string(s.gamePort);
    std::string base = escapeControls(s.hostName);
    if (isBlank(base)) base = address;
    std::string name = base;
    for (int n = 2; taken.count(name) != 0; ++n) name = base + " (" + std::to_string(n) + ")";
    taken.insert(name);
    entries.push_back({name, s.ip, std::to_string(s.gamePort)});
  }
  return entries;
}

}  // namespace tarvix
