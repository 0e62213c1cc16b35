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
  UdpResult sent = client.send(rconRequest(password, command), stop);
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

std::optional<std::string> quotedRconArgument(std::string_view name) {
  if (hasControlByte(name) || contains(name, "\"")) return std::nullopt;
  std::string quoted;
  quoted.reserve(name.size() + 2);
  quoted.push_back('"');
  quoted.append(name);
  quoted.push_back('"');
  return quoted;
}

std::string sayText(std::string_view text) {
  std::string r;
  r.reserve(text.size());
  for (char c : text)
    if (!isControlByte(c) && c != '"' && c != ';') r.push_back(c);
  return r;
}

namespace {

bool isNumber(std::string_view t) {
  if (!t.empty() && t.front() == '-') t.remove_prefix(1);
  if (t.empty()) return false;
  for (char c : t)
    if (c < '0' || c > '9') return false;
  return true;
}

// The blank-separated words of a piece of one line.
std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t begin = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > begin) out.push_back(text.substr(begin, i - begin));
  }
  return out;
}

// True when the name standing at `at` of a row line is the row's whole name
// field: numbers (the score last) end 7 characters before it, then one
// blank, the ping right-aligned in four characters and one blank; after it
// at least one blank, the last-message time, the address and numbers only.
bool wholeNameField(std::string_view line, std::size_t at, std::size_t length) {
  if (at < 7 || line[at - 1] != ' ' || line[at - 6] != ' ' || line[at - 7] == ' ') return false;
  const std::string_view ping = line.substr(at - 5, 4);
  const std::size_t pingStart = ping.find_first_not_of(' ');
  if (pingStart == std::string_view::npos || ping.find(' ', pingStart) != std::string_view::npos)
    return false;
  const std::vector<std::string_view> before = words(line.substr(0, at - 6));
  if (before.empty()) return false;
  for (std::string_view w : before)
    if (!isNumber(w)) return false;

  const std::size_t end = at + length;
  if (end >= line.size() || line[end] != ' ') return false;
  const std::vector<std::string_view> after = words(line.substr(end));
  if (after.size() < 2 || !isNumber(after[0]) || isNumber(after[1])) return false;
  for (std::size_t k = 2; k < after.size(); ++k)
    if (!isNumber(after[k])) return false;
  return true;
}

struct StatusRow {
  std::string_view line;
  std::size_t nameAt = 0;
};

// The first row of the reply whose whole name field is the name.
std::optional<StatusRow> findStatusRow(std::string_view reply, std::string_view name) {
  if (name.empty()) return std::nullopt;
  std::size_t start = 0;
  while (start < reply.size()) {
    std::size_t lf = reply.find('\n', start);
    if (lf == std::string_view::npos) lf = reply.size();
    std::string_view line = reply.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (std::size_t at = line.find(name); at != std::string_view::npos;
         at = line.find(name, at + 1))
      if (wholeNameField(line, at, name.size())) return StatusRow{line, at};
    start = lf + 1;
  }
  return std::nullopt;
}

}  // namespace

std::string statusAddress(std::string_view reply, std::string_view name) {
  const std::optional<StatusRow> row = findStatusRow(reply, name);
  if (!row) return {};
  const std::string_view address = words(row->line.substr(row->nameAt + name.size()))[1];
  return std::string(address.substr(0, address.find(':')));
}

std::string statusScore(std::string_view reply, std::string_view name) {
  const std::optional<StatusRow> row = findStatusRow(reply, name);
  if (!row) return {};
  // The score ends 7 characters before the name: score, blank, 4-character
  // ping, blank.
  const std::vector<std::string_view> before = words(row->line.substr(0, row->nameAt - 6));
  return std::string(before.back());
}

RconAccess rconAccess(std::string_view cleanedReply) {
  if (cleanedReply.empty()) return RconAccess::Silent;
  if (containsNoCase(cleanedReply, "bad rconpassword") ||
      containsNoCase(cleanedReply, "no rconpassword"))
    return RconAccess::Refused;
  return RconAccess::Accepted;
}

}  // namespace tarvix
