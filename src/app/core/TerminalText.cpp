#include "app/core/TerminalText.h"

#include "base/CodePage.h"

namespace tarvix {

namespace {

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {  // the code page reaches no further than the Basic Multilingual Plane
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string terminalText(std::string_view codePageBytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(codePageBytes.size());
  for (char byte : codePageBytes) {
    const auto b = static_cast<unsigned char>(byte);
    const char32_t c = codePageToUnicode(b);
    if (isControl(c)) {
      out += "\\x";
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0xF]);
    } else {
      appendUtf8(out, c);
    }
  }
  return out;
}

}  // namespace tarvix
