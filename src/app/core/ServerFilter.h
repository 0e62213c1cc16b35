#pragma once
// Which server rows the filter bar lets through. Filtering only hides rows:
// the list file and the rows' texts stay as they are.
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

struct ServerFilter {
  bool hideEmpty = false;       // answered without players ("0/16")
  bool hideFull = false;        // full ("FULL")
  bool hideNoResponse = false;  // no answer ("no response", "sends shit")
  // Found, ignoring case, in the server's name, its map or a player's name
  // (with or without their colour codes); empty matches every row.
  std::string text;
  // An ISO country code: only the servers there; empty matches every row.
  std::string country;

  bool hidesNothing() const {
    return !hideEmpty && !hideFull && !hideNoResponse && text.empty() && country.empty();
  }
};

// A row as the filter sees it: its state (ServerRow.h), its "Map" and "Host"
// texts and the names of its players in the last reply.
struct FilterRow {
  int state = 0;
  std::string_view map;
  std::string_view host;
  const std::vector<std::string>* players = nullptr;
  std::string_view country = {};  // its ISO code, empty when unknown
};

bool rowPassesFilter(const ServerFilter& filter, const FilterRow& row);

// The status bar while the filter hides rows: "N of M servers shown".
std::string shownServersText(int shown, int total);

}  // namespace tarvix
