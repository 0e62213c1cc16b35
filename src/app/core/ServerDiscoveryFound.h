#pragma once
// The servers a discovery has found so far, shared by the threads that find
// them: each address once, reported to the caller as soon as it is known,
// and in the end in the order of the request (masters in order, each
// master's list in order, then the LAN).
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "app/core/ServerDiscovery.h"
#include "protocol/GameSpyQuery.h"

namespace tarvix {

class FoundServers {
 public:
  explicit FoundServers(const DiscoveryFound& found) : found_(found) {}

  // The entries of the list of source `source` (masters numbered in the
  // request's order). New addresses are handed to `feed` for querying,
  // or reported at once when `feed` is null. Returns how many were new.
  std::size_t addListed(std::size_t source, const std::vector<ListedServer>& servers,
                        GameSpyFeed* feed);
  // A server that came with its status (a LAN reply); counted from source `source`.
  void addAnswered(std::size_t source, const ListedServer& server, const GameSpyAnswer& answer);
  // The answer to the query the feed numbered `queryIndex`.
  void answer(std::size_t queryIndex, const GameSpyAnswer& answer);

  // The servers in the request's order; the object is spent.
  std::vector<FoundServer> takeInOrder();

 private:
  struct Entry {
    FoundServer server;
    std::uint64_t order = 0;  // source, then position in its list
  };
  // Index of the address's entry and whether it is new; a listing earlier
  // in the request's order moves the entry there.
  std::pair<std::size_t, bool> claim(const ListedServer& server, std::uint64_t order);

  std::mutex mu_;
  const DiscoveryFound& found_;
  std::vector<Entry> entries_;
  std::unordered_map<std::uint64_t, std::size_t> index_;  // address and port -> entry
  std::vector<std::size_t> queried_;                      // feed index -> entry
  std::uint32_t lanArrivals_ = 0;
};

// Fills `found` from a complete GameSpy answer.
void fillFound(FoundServer& found, const GameSpyAnswer& answer);

}  // namespace tarvix
