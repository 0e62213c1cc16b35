#include "app/JsonOutput.h"

#include <charconv>
#include <cmath>
#include <ostream>
#include <sstream>

#include "app/core/CountryLookup.h"
#include "base/Text.h"
#include "base/Utf8.h"

namespace tarvix {

using nlohmann::json;

namespace {

json number(std::string_view text) {
  long long v = 0;
  return parseInt(text, v) ? json(v) : json();
}

json rotation(std::string_view mapList) {
  json maps = json::array();
  std::size_t from = 0;
  while (from < mapList.size()) {
    std::size_t blank = mapList.find(' ', from);
    if (blank == std::string_view::npos) blank = mapList.size();
    if (blank > from) maps.push_back(jsonText(mapList.substr(from, blank - from)));
    from = blank + 1;
  }
  return maps;
}

// The values of an answer; `countEmptyNames` follows the reading rule of the
// caller (a row selection lists every player line, a scan only named ones).
void addReply(json& server, const StatusReply& s, bool countEmptyNames) {
  json players = json::array();
  for (const Player& p : s.players) {
    if (!countEmptyNames && p.name.empty()) continue;
    players.push_back({{"name", jsonText(p.name)}, {"ping", number(p.ping)}});
  }
  server["name"] = jsonText(s.hostName);
  server["map"] = jsonText(s.mapName);
  server["players"] = players.size();
  server["max"] = number(s.maxClients);
  server["game"] = jsonText(s.edition);
  server["edition"] = jsonText(s.edition);
  server["version"] = jsonText(s.version);
  server["rotation"] = rotation(s.mapList);
  server["link"] = s.hasLink ? jsonText(s.link) : json();
  server["playerList"] = players;
}

void addNoAnswer(json& server) {
  for (const char* key : {"name", "map", "players", "max", "game", "edition", "version", "link"})
    server[key] = json();
  server["rotation"] = json::array();
  server["playerList"] = json::array();
}

// "country": the ISO code of the address's host (null when the database does
// not know it), only where a country database is installed.
void addCountry(json& server, const std::string& address) {
  CountryLookup& countries = CountryLookup::shared();
  if (!countries.available()) return;
  const Country c = countries.lookup(address.substr(0, address.rfind(':')));
  server["country"] = c.code.empty() ? json() : json(c.code);
}

// A string as JSON text: DEL and the C1 controls, which terminals act on, as
// \u00XX like the C0 controls (the library writes these three kinds raw).
std::string stringText(const json& s) {
  const std::string raw = s.dump(-1, ' ', false, json::error_handler_t::replace);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const auto b = static_cast<unsigned char>(raw[i]);
    const auto next = i + 1 < raw.size() ? static_cast<unsigned char>(raw[i + 1]) : 0;
    if (b == 0x7F || (b == 0xC2 && next >= 0x80 && next <= 0x9F)) {
      const unsigned c = b == 0x7F ? b : next;
      out += {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
      i += b == 0x7F ? 0 : 1;
    } else {
      out.push_back(raw[i]);
    }
  }
  return out;
}

// A fraction as Qt's JSON writer put it: a whole number up to 2^53 as an
// integer ("3", "100000", "0" for -0), any other in the shortest form that
// reads back the same ("2.5", "1e-04", "1e+16").
std::string fractionText(double d) {
  if (!std::isfinite(d)) return "null";
  if (d == std::floor(d) && std::abs(d) <= 9007199254740992.0)
    return std::to_string(static_cast<long long>(d));
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, d).ptr);
}

void write(const json& v, std::string& out, int indent) {
  if (!v.is_object() && !v.is_array()) {
    out += v.is_string()         ? stringText(v)
           : v.is_number_float() ? fractionText(v.get<double>())
                                 : v.dump();
    return;
  }
  const std::string inner(static_cast<std::size_t>(4 * (indent + 1)), ' ');
  out += v.is_object() ? "{\n" : "[\n";
  std::size_t left = v.size();
  for (auto it = v.begin(); it != v.end(); ++it) {
    out += inner;
    if (v.is_object()) out += stringText(it.key()) + ": ";
    write(*it, out, indent + 1);
    out += --left ? ",\n" : "\n";
  }
  out += std::string(static_cast<std::size_t>(4 * indent), ' ') + (v.is_object() ? "}" : "]");
}

}  // namespace

std::string jsonDocument(const json& root) {
  std::string out;
  write(root, out, 0);
  return out + "\n";
}

json jsonText(std::string_view codePageBytes) { return codePageToUtf8(codePageBytes); }

json buddyArray(const std::vector<HeadlessBuddy>& buddies) {
  json list = json::array();
  for (const HeadlessBuddy& b : buddies)
    list.push_back({{"caption", jsonText(b.caption)}, {"server", jsonText(b.server)}});
  return list;
}

std::string queryJson(const QueryOutcome& q) {
  json server{{"address", jsonText(q.host + ":" + q.port)},
              {"state", q.answered ? "answered" : "no response"}};
  addCountry(server, q.host + ":" + q.port);
  if (q.answered)
    addReply(server, q.reply, true);
  else
    addNoAnswer(server);
  json root{{"servers", json::array({server})},
            {"buddies", buddyArray(q.buddies)},
            {"status", q.answered ? "answered" : "no response"}};
  // A message of the system's, in its encoding (UTF-8).
  if (!q.error.empty()) root["error"] = q.error;
  return jsonDocument(root);
}

namespace {

json serverJson(const HeadlessRow& row) {
  json server{{"entry", jsonText(row.host)},
              {"address", row.address.empty() ? json() : jsonText(row.address)},
              {"state", rowStateName(row)},
              {"caption", jsonText(row.caption)}};
  addCountry(server, row.address);
  if (row.icon == RowAnswered || row.icon == RowFull) {
    addReply(server, readStatusReply(row.reply), false);
    server["game"] = jsonText(row.game);
  } else {
    addNoAnswer(server);
  }
  return server;
}

// `"key": value` one level in, as jsonDocument() writes a member of the root.
void member(std::string& text, const char* key, const json& value) {
  text += std::string("    \"") + key + "\": ";
  write(value, text, 1);
}

}  // namespace

void writeScanJson(const ScanOutcome& scan, const std::vector<HeadlessBuddy>& newHits,
                   std::ostream& out) {
  // The document jsonDocument() would write of the whole, its keys in order,
  // with the servers written one at a time: a list of 50 000 is never held
  // as one document.
  std::string text = "{\n";
  member(text, "buddies", buddyArray(scan.buddies));
  text += ",\n";
  if (scan.exitCode != 0) {
    member(text, "error", jsonText(scan.error));
    text += ",\n";
  }
  member(text, "list", jsonText(scan.listPath));
  text += ",\n";
  member(text, "newBuddies", buddyArray(newHits));
  text += ",\n    \"servers\": [\n";
  for (std::size_t i = 0; i < scan.rows.size(); ++i) {
    out << text;
    text = "        ";
    write(serverJson(scan.rows[i]), text, 2);
    text += i + 1 < scan.rows.size() ? ",\n" : "\n";
  }
  text += "    ],\n";
  member(text, "status", jsonText(scan.status));
  out << text << "\n}\n";
}

std::string scanJson(const ScanOutcome& scan, const std::vector<HeadlessBuddy>& newHits) {
  std::ostringstream out;
  writeScanJson(scan, newHits, out);
  return out.str();
}

}  // namespace tarvix
