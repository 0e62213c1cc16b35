#include "protocol/GameSpyValidate.h"

#include <array>
#include <cstdint>
#include <utility>

namespace tarvix {

std::string_view gameSecretKey(std::string_view gameName) {
  if (gameName == "mohaa") return "M5Fdwc";
  if (gameName == "mohaas") return "h2P1c9";
  if (gameName == "mohaab") return "y32FDc";
  return {};
}

namespace {

std::string base64(const std::string& bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    if (n > 1) group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
    if (n > 2) group |= static_cast<std::uint8_t>(bytes[i + 2]);
    out.push_back(kAlphabet[(group >> 18) & 63]);
    out.push_back(kAlphabet[(group >> 12) & 63]);
    out.push_back(n > 1 ? kAlphabet[(group >> 6) & 63] : '=');
    out.push_back(n > 2 ? kAlphabet[group & 63] : '=');
  }
  return out;
}

}  // namespace

std::string gameSpyValidate(std::string_view secretKey, std::string_view challenge) {
  std::array<std::uint8_t, 256> s{};
  for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
  if (!secretKey.empty()) {
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
      j = static_cast<std::uint8_t>(j + s[i] +
                                    static_cast<std::uint8_t>(secretKey[i % secretKey.size()]));
      std::swap(s[i], s[j]);
    }
  }
  // The cipher step differs from RC4: x advances by the data byte plus one.
  std::string bytes(challenge);
  std::uint8_t x = 0, y = 0;
  for (char& c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);
    x = static_cast<std::uint8_t>(x + b + 1);
    y = static_cast<std::uint8_t>(s[x] + y);
    std::swap(s[x], s[y]);
    c = static_cast<char>(b ^ s[static_cast<std::uint8_t>(s[x] + s[y])]);
  }
  return base64(bytes);
}

}  // namespace tarvix
