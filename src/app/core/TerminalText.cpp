#include "app/core/TerminalText.h"

#include "base/CodePage.h"
#include "base/Utf8.h"

namespace tarvix {

namespace {

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

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
