#include "base/Text.h"

#include <limits>

namespace tarvix {

namespace {

inline unsigned char ub(char c) { return static_cast<unsigned char>(c); }
inline unsigned char folded(char c) { return ub(lowerChar(c)); }

// Below this many bytes to search, setting up the skips costs more than
// trying every position.
constexpr std::size_t kSkippingFrom = 256;

}  // namespace

char upperChar(char c) {
  unsigned char u = ub(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 0x10);
  if (u == 0xFF) return static_cast<char>(0x9F);
  return c;
}

std::string lowerAnsi(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = lowerChar(c);
  return r;
}

std::string upperAnsi(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = upperChar(c);
  return r;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (folded(a[i]) != folded(b[i])) return false;
  return true;
}

std::size_t findNoCase(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
  const std::size_t m = needle.size();
  if (hay.size() < m || from > hay.size() - m) return std::string_view::npos;
  const unsigned char last = folded(needle[m - 1]);
  if (hay.size() - from < kSkippingFrom) {
    for (std::size_t i = from; i + m <= hay.size(); ++i) {
      std::size_t j = 0;
      while (j < m && folded(hay[i + j]) == folded(needle[j])) ++j;
      if (j == m) return i;
    }
    return std::string_view::npos;
  }
  // Horspool's search over folded bytes: a miss skips by how far the folded
  // byte under the needle's end lies from the needle's end.
  std::array<std::size_t, 256> skip;
  skip.fill(m);
  for (std::size_t j = 0; j + 1 < m; ++j) skip[folded(needle[j])] = m - 1 - j;
  for (std::size_t i = from; i + m <= hay.size();) {
    const unsigned char end = folded(hay[i + m - 1]);
    if (end == last) {
      std::size_t j = 0;
      while (j + 1 < m && folded(hay[i + j]) == folded(needle[j])) ++j;
      if (j + 1 == m) return i;
    }
    i += skip[end];
  }
  return std::string_view::npos;
}

bool containsNoCase(std::string_view hay, std::string_view needle) {
  return findNoCase(hay, needle) != std::string_view::npos;
}

bool contains(std::string_view hay, std::string_view needle) {
  return hay.find(needle) != std::string_view::npos;
}

std::string removeAllNoCase(std::string_view s, std::string_view pattern) {
  if (pattern.empty()) return std::string(s);
  std::string r;
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = findNoCase(s, pattern, pos);
    if (hit == std::string_view::npos) break;
    r.append(s.substr(pos, hit - pos));
    pos = hit + pattern.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::string removeAll(std::string_view s, std::string_view pattern) {
  if (pattern.empty()) return std::string(s);
  std::string r;
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = s.find(pattern, pos);
    if (hit == std::string_view::npos) break;
    r.append(s.substr(pos, hit - pos));
    pos = hit + pattern.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::string removeChar(std::string_view s, char c) {
  std::string r;
  r.reserve(s.size());
  for (char x : s)
    if (x != c) r.push_back(x);
  return r;
}

bool isControlByte(char c) {
  const unsigned char u = ub(c);
  return u < 0x20 || u == 0x7F;
}

bool hasControlByte(std::string_view s) {
  for (char c : s)
    if (isControlByte(c)) return true;
  return false;
}

std::string escapeControls(std::string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string r;
  r.reserve(s.size());
  for (char c : s) {
    if (!isControlByte(c)) {
      r.push_back(c);
      continue;
    }
    r += "\\x";
    r.push_back(kHex[ub(c) >> 4]);
    r.push_back(kHex[ub(c) & 0xF]);
  }
  return r;
}

bool isBlank(std::string_view s) {
  for (char c : s)
    if (c != ' ' && !isControlByte(c)) return false;
  return true;
}

std::vector<std::string> splitLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t lf = content.find('\n', start);
    std::size_t end = lf == std::string_view::npos ? content.size() : lf;
    std::size_t stop = end;
    // A CR right before the LF, or ending the content (a CR LF cut short),
    // belongs to the line break; appending to such a file completes it.
    if (stop > start && content[stop - 1] == '\r') --stop;
    lines.emplace_back(content.substr(start, stop - start));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

std::string joinLinesCrlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

bool parseInt(std::string_view s, long long& out) {
  std::size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  if (i >= s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    int d = s[i] - '0';
    if (v > (std::numeric_limits<long long>::max() - d) / 10) return false;
    v = v * 10 + d;
  }
  out = neg ? -v : v;
  return true;
}

}  // namespace tarvix
