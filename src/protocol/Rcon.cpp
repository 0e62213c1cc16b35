#include "protocol/Rcon.h"

#include "base/Text.h"

namespace tarvix {

std::string rconRequest(std::string_view password, std::string_view command) {
  std::string d("\xFF\xFF\xFF\xFF\x02rcon ");
  d.reserve(d.size() + password.size() + command.size() + 3);
  d.append(password);
  d.push_back(' ');
  d.append(command);
  d.push_back('\n');
  d.push_back('\0');
  return d;
}

UdpResult sendRcon(UdpClient& client, std::string_view password, std::string_view command) {
  return client.send(rconRequest(password, command));
}

UdpResult rconQuery(UdpClient& client, std::string_view password, std::string_view command,
                    int timeoutMs, const StopSignal* stop) {
  if (stop && stop->requested()) {
    UdpResult r;
    r.outcome = UdpOutcome::Stopped;
    return r;
  }
  UdpResult sent = sendRcon(client, password, command);
  if (!sent.ok()) return sent;
  UdpResult r = client.receive(timeoutMs, stop);
  if (r.ok()) r.bytes = cleanReply(r.bytes);
  return r;
}

std::string cleanReply(std::string_view reply) {
  return removeAllNoCase(removeChar(reply, '\xFF'), "\x01print");
}

std::vector<std::string> replyLines(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::string_view rest = text.substr(0, text.size() - 1);
  std::size_t start = 0;
  while (start < rest.size()) {
    std::size_t lf = rest.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.emplace_back(rest.substr(start));
      break;
    }
    lines.emplace_back(rest.substr(start, lf - start));
    start = lf + 1;
  }
  return lines;
}

bool rconAwaitsReply(std::string_view password, std::string_view command) {
  return !containsNoCase(rconRequest(password, command), "quit");
}

std::string dumpuserValue(std::string_view reply, std::string_view label) {
  if (label.empty()) return {};
  std::size_t at = reply.find(label);
  if (at == std::string_view::npos) return {};
  std::size_t start = at + label.size() + 1;
  std::size_t end = reply.find('\n', start < reply.size() ? start : reply.size());
  if (end == std::string_view::npos) end = reply.size() - 1;  // the terminator is no part of it
  if (start >= end) return {};
  return std::string(reply.substr(start, end - start));
}

std::string statusAddress(std::string_view reply, std::string_view name) {
  if (name.empty()) return {};
  std::size_t at = reply.find(name);
  if (at == std::string_view::npos) return {};
  std::size_t i = at + name.size() + 1;  // the character right after the name is passed over
  const std::size_t n = reply.size();
  while (i < n && reply[i] == ' ') ++i;
  while (i < n && reply[i] != ' ') ++i;
  if (i >= n) return {};
  std::size_t colon = reply.find(':', i);
  if (colon == std::string_view::npos) colon = n;
  return removeChar(reply.substr(i, colon - i), ' ');
}

std::string statusScore(std::string_view reply, std::string_view name) {
  if (name.empty()) return {};
  std::size_t at = reply.find(name);
  // The score ends 7 characters before the name: score, blank, 4-character
  // ping, blank.
  if (at == std::string_view::npos || at < 7) return {};
  std::size_t end = at - 7;
  auto separator = [](char c) { return c == ' ' || c == '\n' || c == '\r'; };
  if (separator(reply[end])) return {};
  std::size_t begin = end;
  while (begin > 0 && !separator(reply[begin - 1])) --begin;
  return std::string(reply.substr(begin, end - begin + 1));
}

}  // namespace tarvix
