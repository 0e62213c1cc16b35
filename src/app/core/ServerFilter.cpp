#include "app/core/ServerFilter.h"

#include "app/core/ServerRow.h"
#include "base/ColourCodes.h"
#include "base/Text.h"

namespace tarvix {

bool rowPassesFilter(const ServerFilter& filter, const FilterRow& row) {
  const bool noPlayers = !row.players || row.players->empty();
  if (filter.hideEmpty && row.state == RowAnswered && noPlayers) return false;
  if (filter.hideFull && row.state == RowFull) return false;
  if (filter.hideNoResponse && row.state == RowNoAnswer) return false;
  if (!filter.country.empty() && row.country != filter.country) return false;
  if (filter.text.empty()) return true;
  if (containsIgnoringColours(row.host, filter.text) ||
      containsIgnoringColours(row.map, filter.text))
    return true;
  if (row.players)
    for (const std::string& name : *row.players)
      if (containsIgnoringColours(name, filter.text)) return true;
  return false;
}

std::string shownServersText(int shown, int total) {
  return std::to_string(shown) + " of " + std::to_string(total) + " servers shown";
}

}  // namespace tarvix
