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

namespace {

// Digits only, at most 9 of them; -1 otherwise.
long long numberOf(std::string_view s) {
  if (s.empty() || s.size() > 9) return -1;
  long long n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

struct PlayerKey {
  int group;  // 0 "count/max", 1 "FULL", 2 anything else
  long long count = 0;
  long long max = 0;
};

PlayerKey playerKey(std::string_view caption) {
  if (caption == "FULL") return {1};
  const std::size_t slash = caption.find('/');
  if (slash != std::string_view::npos) {
    const long long count = numberOf(caption.substr(0, slash));
    const long long max = numberOf(caption.substr(slash + 1));
    if (count >= 0 && max >= 0) return {0, count, max};
  }
  return {2};
}

int compareNumbers(long long a, long long b) { return a < b ? -1 : a > b ? 1 : 0; }

}  // namespace

int comparePlayerCaptions(std::string_view a, std::string_view b) {
  const PlayerKey x = playerKey(a), y = playerKey(b);
  if (x.group != y.group) return x.group < y.group ? -1 : 1;
  if (x.group == 2) return compareSortText(a, b);
  if (const int c = compareNumbers(x.count, y.count)) return c;
  return compareNumbers(x.max, y.max);
}

bool isAnsweredCaption(std::string_view caption) { return playerKey(caption).group < 2; }

int compareNumberTexts(std::string_view a, std::string_view b) {
  const long long x = numberOf(a), y = numberOf(b);
  if ((x < 0) != (y < 0)) return x < 0 ? 1 : -1;
  if (x < 0) return compareSortText(a, b);
  return compareNumbers(x, y);
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
