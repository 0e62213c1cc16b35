#pragma once
// The keyed lookup of a server list (lookupServerIn) over lines read once:
// each lookup costs the matches of its name, not the length of the list.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/ServerLists.h"

namespace tarvix {

class ServerListIndex {
 public:
  ServerListIndex() = default;
  explicit ServerListIndex(std::shared_ptr<const std::vector<std::string>> lines);

  // The same answer as lookupServerIn(lines, name).
  std::optional<ServerAddress> lookup(std::string_view name) const;

 private:
  std::shared_ptr<const std::vector<std::string>> lines_;
  // Positions of the lines equal to each text, ascending.
  std::unordered_map<std::string_view, std::vector<std::uint32_t>> at_;
};

}  // namespace tarvix
