#pragma once
// Text is bytes: every file line and datagram is a std::string in a single-byte
// code page (Windows-1252, see CodePage.h). Case folding covers A-Z, the
// Latin-1 capitals and the Windows-1252 pairs Š/š, Œ/œ, Ž/ž and Ÿ/ÿ.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

namespace detail {

// Letters of Windows-1252: A-Z, the Latin-1 capitals C0-DE except the
// multiplication sign D7, and the pairs Š/š 8A/9A, Œ/œ 8C/9C, Ž/ž 8E/9E and
// Ÿ/ÿ 9F/FF.
constexpr unsigned char lowerByte(unsigned char u) {
  if (u >= 'A' && u <= 'Z') return static_cast<unsigned char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<unsigned char>(u + 32);
  if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<unsigned char>(u + 0x10);
  if (u == 0x9F) return 0xFF;
  return u;
}

// lowerByte() of every byte: text is folded by looking its bytes up.
inline constexpr std::array<unsigned char, 256> kLowerBytes = [] {
  std::array<unsigned char, 256> f{};
  for (int c = 0; c < 256; ++c) f[c] = lowerByte(static_cast<unsigned char>(c));
  return f;
}();

}  // namespace detail

inline char lowerChar(char c) {
  return static_cast<char>(detail::kLowerBytes[static_cast<unsigned char>(c)]);
}
char upperChar(char c);
std::string lowerAnsi(std::string_view s);
std::string upperAnsi(std::string_view s);

bool equalsNoCase(std::string_view a, std::string_view b);
// Position of the first occurrence of needle ignoring case, or npos.
std::size_t findNoCase(std::string_view hay, std::string_view needle, std::size_t from = 0);
bool containsNoCase(std::string_view hay, std::string_view needle);
bool contains(std::string_view hay, std::string_view needle);
// Every occurrence of pattern removed, letters matched ignoring case.
std::string removeAllNoCase(std::string_view s, std::string_view pattern);
// Every occurrence of pattern removed, exact match.
std::string removeAll(std::string_view s, std::string_view pattern);
std::string removeChar(std::string_view s, char c);

// Control bytes: 0x00-0x1F and 0x7F.
bool isControlByte(char c);
bool hasControlByte(std::string_view s);
// Every control byte written as \xHH (upper-case hex), so that text from a
// server shows as one screen line; every other byte unchanged.
std::string escapeControls(std::string_view s);
// Empty, or made of blanks and control bytes only.
bool isBlank(std::string_view s);

// Lines of a file's content: CR LF or bare LF end a line, and so does a CR
// that ends the content; a final line break makes no empty entry; an empty
// content is no line at all.
std::vector<std::string> splitLines(std::string_view content);
// Each line followed by CR LF.
std::string joinLinesCrlf(const std::vector<std::string>& lines);

// Decimal integer as the platform's string-to-integer conversion takes it:
// optional blanks are not allowed; optional sign; digits only; no overflow.
bool parseInt(std::string_view s, long long& out);

}  // namespace tarvix
