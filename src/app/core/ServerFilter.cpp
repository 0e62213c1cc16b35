#include "app/core/ServerFilter.h"

#include "base/ColourCodes.h"
#include "base/Text.h"

namespace tarvix {

namespace {

bool matches(std::string_view field, std::string_view text) {
  return containsNoCase(field, text) || containsNoCase(withoutColourCodes(field), text);
}

// "count/max" with both whole numbers.
bool playerCounts(std::string_view caption, long long& count, long long& max) {
  const std::size_t slash = caption.find('/');
  return slash != std::string_view::npos && parseInt(caption.substr(0, slash), count) &&
         parseInt(caption.substr(slash + 1), max);
}

}  // namespace

bool rowPassesFilter(const ServerFilter& filter, const FilterRow& row) {
  long long count = 0, max = 0;
  const bool counted = playerCounts(row.caption, count, max);
  if (filter.hideEmpty && counted && count == 0) return false;
  if (filter.hideFull && (row.caption == "FULL" || (counted && count >= max))) return false;
  if (filter.hideNoResponse && row.caption == "no response") return false;
  if (!filter.country.empty() && row.country != filter.country) return false;
  if (filter.text.empty()) return true;
  if (matches(row.host, filter.text) || matches(row.map, filter.text)) return true;
  if (row.players)
    for (const std::string& name : *row.players)
      if (matches(name, filter.text)) return true;
  return false;
}

std::string shownServersText(int shown, int total) {
  return std::to_string(shown) + " of " + std::to_string(total) + " servers shown";
}

}  // namespace tarvix
