#pragma once
// UTF-8, the text of terminals, file names, the command line and JSON, and
// its conversions to and from the data's code page.
#include <optional>
#include <string>
#include <string_view>

namespace tarvix {

void appendUtf8(std::string& out, char32_t codePoint);

// The code points of UTF-8 text; nullopt when it is not valid UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view text);
// The code point that starts at text[at] and its length in bytes; false where
// the bytes there are not UTF-8.
bool nextUtf8(std::string_view text, std::size_t at, char32_t& codePoint, std::size_t& length);
bool isUtf8(std::string_view text);

// Code page bytes as UTF-8, every byte one character.
std::string codePageToUtf8(std::string_view bytes);
// UTF-8 text as code page bytes; nullopt when it is not valid UTF-8 or holds
// a character the code page cannot hold.
std::optional<std::string> utf8ToCodePage(std::string_view text);

}  // namespace tarvix
