#pragma once
// The status bar's word on the current list, said after it is loaded,
// scanned or changed: "12 servers in Serverlists\Standard".
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvix {

inline std::string serversInListText(std::size_t count, std::string_view listPath) {
  return std::to_string(count) + " servers in " + std::string(listPath);
}

}  // namespace tarvix
