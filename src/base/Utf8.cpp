#include "base/Utf8.h"

#include "base/CodePage.h"

namespace tarvix {

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool nextUtf8(std::string_view text, std::size_t at, char32_t& codePoint, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const int more = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (more < 0 || lead > 0xF4 || text.size() - at <= static_cast<std::size_t>(more)) return false;
  char32_t c = more == 0 ? lead : lead & (0x3F >> more);
  for (int k = 1; k <= more; ++k) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(k)]);
    if ((next & 0xC0) != 0x80) return false;
    c = (c << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
  constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[more] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
  codePoint = c;
  length = static_cast<std::size_t>(more) + 1;
  return true;
}

bool isUtf8(std::string_view text) {
  char32_t c = 0;
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); i += length)
    if (!nextUtf8(text, i, c, length)) return false;
  return true;
}

std::optional<std::u32string> decodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  char32_t c = 0;
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); i += length) {
    if (!nextUtf8(text, i, c, length)) return std::nullopt;
    out.push_back(c);
  }
  return out;
}

std::string codePageToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) appendUtf8(out, codePageToUnicode(static_cast<unsigned char>(b)));
  return out;
}

std::optional<std::string> utf8ToCodePage(std::string_view text) {
  const std::optional<std::u32string> codePoints = decodeUtf8(text);
  if (!codePoints) return std::nullopt;
  std::string out;
  out.reserve(codePoints->size());
  for (char32_t c : *codePoints) {
    const std::optional<unsigned char> b = unicodeToCodePage(c);
    if (!b) return std::nullopt;
    out.push_back(static_cast<char>(*b));
  }
  return out;
}

}  // namespace tarvix
