#include "protocol/MasterList.h"

#include "base/Text.h"

namespace tarvix {

namespace {

constexpr std::string_view kFinal = "\\final\\";
constexpr std::size_t kEntryBytes = 6;
constexpr std::size_t kChallengeBytes = 6;
constexpr std::size_t kMaxMessageBytes = 200;

// The value after `key` (as "\key\") up to the next backslash; nullopt when
// the key is absent.
std::optional<std::string_view> valueOf(std::string_view bytes, std::string_view key,
                                        bool* ended = nullptr) {
  const std::size_t at = bytes.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = bytes.substr(at + key.size());
  const std::size_t cut = rest.find('\\');
  if (ended) *ended = cut != std::string_view::npos;
  return rest.substr(0, cut);
}

std::string shown(std::string_view text) {
  return escapeControls(text.substr(0, kMaxMessageBytes));
}

// The text of an \echo\ or \fatal\ refusal, when the bytes start with one.
std::optional<std::string> refusal(std::string_view bytes) {
  for (std::string_view key : {std::string_view("\\echo\\"), std::string_view("\\fatal\\")}) {
    if (bytes.substr(0, key.size()) == key) return shown(*valueOf(bytes, key));
  }
  return std::nullopt;
}

}  // namespace

std::string dottedAddress(std::uint32_t ip) {
  return std::to_string(ip >> 24) + "." + std::to_string((ip >> 16) & 255) + "." +
         std::to_string((ip >> 8) & 255) + "." + std::to_string(ip & 255);
}

bool usableServer(const ListedServer& server) {
  const std::uint32_t first = server.ip >> 24;
  if (server.port == 0 || first == 0) return false;
  if (first >= 224) return false;  // multicast, reserved and 255.255.255.255
  // The broadcast address of a classful network (x.255.255.255, x.y.255.255,
  // x.y.z.255) is never a game server's.
  if ((server.ip & 0xFF) == 0xFF) return false;
  return true;
}

Greeting readGreeting(std::string_view bytes, bool closed) {
  Greeting g;
  if (auto text = refusal(bytes)) {
    g.state = GreetingState::Refused;
    g.message = *text;
    return g;
  }
  bool ended = false;
  if (auto value = valueOf(bytes, "\\secure\\", &ended)) {
    if (ended || value->size() >= kChallengeBytes || closed) {
      if (value->empty()) {
        g.state = GreetingState::Malformed;
        g.message = "an empty challenge";
        return g;
      }
      g.state = GreetingState::Challenge;
      g.challenge = std::string(value->substr(0, kChallengeBytes));
      return g;
    }
  }
  if (closed || bytes.size() > kMaxGreetingBytes) {
    g.state = GreetingState::Malformed;
    g.message = bytes.empty() ? "closed the connection without a word"
                              : "no challenge in \"" + shown(bytes) + "\"";
  }
  return g;
}

std::string validateLine(std::string_view game, std::string_view validate) {
  return "\\gamename\\" + std::string(game) + "\\gamever\\3.0\\location\\0\\validate\\" +
         std::string(validate) + "\\final\\\\queryid\\1.1\\";
}

std::string listRequest(std::string_view game) {
  return "\\list\\cmp\\gamename\\" + std::string(game) + "\\final\\";
}

std::size_t maxListBytes(std::size_t maxEntries) {
  return maxEntries * kEntryBytes + kFinal.size();
}

ListReply readListReply(std::string_view bytes, bool closed, std::size_t maxEntries) {
  ListReply r;
  if (auto text = refusal(bytes)) {
    if (closed || bytes.find(kFinal) != std::string_view::npos ||
        bytes.size() > kMaxGreetingBytes) {
      r.state = ListState::Refused;
      r.message = *text;
    }
    return r;
  }
  if (bytes.size() > maxListBytes(maxEntries)) {
    r.state = ListState::TooLong;
    r.message = "a list longer than " + std::to_string(maxEntries) + " servers";
    return r;
  }
  const bool endsWithFinal =
      bytes.size() >= kFinal.size() && bytes.substr(bytes.size() - kFinal.size()) == kFinal;
  const std::size_t listBytes = endsWithFinal ? bytes.size() - kFinal.size() : bytes.size();
  if (endsWithFinal && listBytes % kEntryBytes == 0) {
    r.state = ListState::Complete;
    r.servers.reserve(listBytes / kEntryBytes);
    for (std::size_t i = 0; i < listBytes; i += kEntryBytes) {
      auto byte = [&](std::size_t k) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + k]));
      };
      ListedServer s;
      s.ip = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
      s.port = static_cast<std::uint16_t>(byte(4) << 8 | byte(5));
      r.servers.push_back(s);
    }
    return r;
  }
  if (!closed) return r;
  r.state = ListState::Malformed;
  if (bytes.empty())
    r.message = "closed the connection without a list";
  else if (endsWithFinal)
    r.message = "a list of " + std::to_string(listBytes) + " bytes, not whole 6-byte entries";
  else
    r.message = "a list that does not end with \\final\\";
  return r;
}

}  // namespace tarvix
