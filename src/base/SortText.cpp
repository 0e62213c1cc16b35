#include "base/SortText.h"

#include <algorithm>

namespace tarvix {

int compareSortText(std::string_view a, std::string_view b) {
  auto key = [](char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 32) : u;
  };
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = key(a[i]), y = key(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace tarvix

#include "base/Text.h"

namespace tarvix {

int compareListText(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(lowerChar(a[i]));
    unsigned char y = static_cast<unsigned char>(lowerChar(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    bool aLower = lowerChar(a[i]) == a[i];
    return aLower ? -1 : 1;
  }
  return 0;
}

}  // namespace tarvix
