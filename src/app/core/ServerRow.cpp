#include "app/core/ServerRow.h"

#include <utility>

#include "protocol/StatusReply.h"

namespace tarvix {

namespace {

ScanRow silentRow(std::string host, const char* caption) {
  ScanRow row;
  row.caption = caption;
  row.map = " ";
  row.host = std::move(host);
  row.game = " ";
  row.icon = RowNoAnswer;
  return row;
}

}  // namespace

ScanRow answeredRow(std::string host, long long players, std::string_view maxClients,
                    std::string map, std::string game) {
  long long max = 0;
  if (!maxClientsNumber(maxClients, max)) return unreadableRow(std::move(host));
  const bool full = isFull(players, max);
  ScanRow row;
  row.caption =
      full ? std::string("FULL") : std::to_string(players) + "/" + std::string(maxClients);
  row.map = std::move(map);
  row.host = std::move(host);
  row.game = std::move(game);
  row.icon = full ? RowFull : RowAnswered;
  return row;
}

ScanRow noResponseRow(std::string host) { return silentRow(std::move(host), "no response"); }

ScanRow unreadableRow(std::string host) {
  ScanRow row = silentRow(std::move(host), "sends shit");
  row.unreadable = true;
  return row;
}

const char* rowStateName(const ScanRow& row) {
  switch (row.icon) {
    case RowAnswered:
      return "answered";
    case RowFull:
      return "full";
    case RowNotScanned:
      return "not scanned";
    default:
      break;
  }
  return row.unreadable ? "unreadable" : "no response";
}

}  // namespace tarvix
