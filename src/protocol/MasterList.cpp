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

bool startsWithRefusal(std::string_view bytes) {
  return bytes.substr(0, 6) == "\\echo\\" || bytes.substr(0, 7) == "\\fatal\\";
}

// The text of an \echo\ or \fatal\ refusal, when the bytes start with one.
std::optional<std::string> refusal(std::string_view bytes) {
  for (std::string_view key : {std::string_view("\\echo\\"), std::string_view("\\fatal\\")}) {
    if (bytes.substr(0, key.size()) == key) return shown(*valueOf(bytes, key));
  }
  return std::nullopt;
}

// A refusal's shape: its key, then text (no control byte but tab, CR and LF,
// no backslash), then \final\ or nothing yet. The entries of a list carry
// control bytes in nearly every port and address.
bool isRefusalText(std::string_view bytes) {
  if (!startsWithRefusal(bytes)) return false;
  std::string_view text = bytes.substr(bytes[1] == 'e' ? 6 : 7);
  if (text.size() >= kFinal.size() && text.substr(text.size() - kFinal.size()) == kFinal)
    text.remove_suffix(kFinal.size());
  for (char c : text) {
    if (c == '\\' || (isControlByte(c) && c != '\t' && c != '\r' && c != '\n')) return false;
  }
  return true;
}

bool endsWithFinal(std::string_view bytes) {
  return bytes.size() >= kFinal.size() && bytes.substr(bytes.size() - kFinal.size()) == kFinal;
}

// Whole entries followed by \final\.
bool isWholeList(std::string_view bytes) {
  return endsWithFinal(bytes) && (bytes.size() - kFinal.size()) % kEntryBytes == 0;
}

std::vector<ListedServer> entriesOf(std::string_view bytes) {
  std::vector<ListedServer> servers;
  const std::size_t listBytes = bytes.size() - kFinal.size();
  servers.reserve(listBytes / kEntryBytes);
  for (std::size_t i = 0; i < listBytes; i += kEntryBytes) {
    auto byte = [&](std::size_t k) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + k]));
    };
    ListedServer s;
    s.ip = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    s.port = static_cast<std::uint16_t>(byte(4) << 8 | byte(5));
    servers.push_back(s);
  }
  return servers;
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

bool isPrivateAddress(std::uint32_t ip) {
  const std::uint32_t first = ip >> 24;
  return first == 127 || first == 10 || (ip & 0xFFF00000) == 0xAC100000 ||
         (ip & 0xFFFF0000) == 0xC0A80000 || (ip & 0xFFFF0000) == 0xA9FE0000;
}

ListedDrops keepAskable(std::vector<ListedServer>& servers, std::uint32_t masterIp) {
  ListedDrops dropped;
  const bool privateMaster = isPrivateAddress(masterIp);
  std::erase_if(servers, [&](const ListedServer& s) {
    if (!usableServer(s)) return ++dropped.unusable, true;
    if (!privateMaster && isPrivateAddress(s.ip)) return ++dropped.privates, true;
    return false;
  });
  return dropped;
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
         std::string(validate) + "\\final\\\\queryid\\1.1";
}

std::string listRequest(std::string_view game) {
  return "\\list\\cmp\\gamename\\" + std::string(game) + "\\final\\";
}

std::size_t maxListBytes(std::size_t maxEntries) {
  return maxEntries * kEntryBytes + kFinal.size();
}

ListReply readListReply(std::string_view bytes, bool closed, std::size_t maxEntries) {
  ListReply r;
  if (bytes.size() > maxListBytes(maxEntries)) {
    r.state = ListState::TooLong;
    r.message = "a list longer than " + std::to_string(maxEntries) + " servers";
    return r;
  }
  // Entries that happen to spell \echo\ are a list: a refusal is text.
  const bool refusalStart = startsWithRefusal(bytes);
  auto refuse = [&] {
    r.state = ListState::Refused;
    r.message = *refusal(bytes);
    return r;
  };
  if (isRefusalText(bytes)) {
    if (closed || endsWithFinal(bytes) || bytes.size() > kMaxGreetingBytes) return refuse();
    return r;
  }
  if (isWholeList(bytes)) {
    r.state = ListState::Complete;
    r.servers = entriesOf(bytes);
    return r;
  }
  if (refusalStart && (closed || endsWithFinal(bytes))) return refuse();
  if (!closed) return r;
  r.state = ListState::Malformed;
  if (bytes.empty())
    r.message = "closed the connection without a list";
  else if (endsWithFinal(bytes))
    r.message = "a list of " + std::to_string(bytes.size() - kFinal.size()) +
                " bytes, not whole 6-byte entries";
  else
    r.message = "a list that does not end with \\final\\";
  return r;
}

ListReply readListReplyAfterBareChallenge(std::string_view bytes, bool closed,
                                          std::size_t maxEntries) {
  ListReply whole = readListReply(bytes, closed, maxEntries);
  if (bytes.substr(0, kFinal.size()) != kFinal) return whole;
  ListReply rest = readListReply(bytes.substr(kFinal.size()), closed, maxEntries);
  return whole.state == ListState::Complete ? whole : rest;
}

}  // namespace tarvix
