#include "app/core/HistoryText.h"

#include <cstdio>
#include <ctime>

#include "app/core/TerminalText.h"

namespace tarvix {

std::string localTimeText(std::int64_t time) {
  const std::time_t t = static_cast<std::time_t>(time);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

std::string spanText(int span) {
  switch (span) {
    case 0:
      return "sample";
    case 600:
      return "10 min";
    case 3600:
      return "hour";
    case 86400:
      return "day";
  }
  return std::to_string(span) + " s";
}

int printHistory(const std::string& address, const std::vector<HistoryPoint>& points,
                 const std::vector<LastSighting>& seen, std::ostream& out, std::ostream& err) {
  if (points.empty() && seen.empty()) {
    err << kNoHistoryText << " for " << terminalText(address) << "\n";
    return 1;
  }
  for (const HistoryPoint& p : points) {
    char mean[16];
    std::snprintf(mean, sizeof mean, "%.1f", p.mean);
    out << localTimeText(p.time) << '\t' << spanText(p.span) << '\t' << p.low << '\t' << mean
        << '\t' << p.high << '\t' << p.maxPlayers << '\t' << terminalText(p.map) << '\n';
  }
  for (const LastSighting& s : seen)
    out << "seen\t" << terminalText(s.name) << '\t' << localTimeText(s.time) << '\n';
  out.flush();
  return 0;
}

}  // namespace tarvix
