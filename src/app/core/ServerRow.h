#pragma once
// A server row's state and texts: the one rule for what a row shows, whoever
// refreshes it (the scan pass, a row selection, --browse), and for the state
// the filter and the JSON output ask.
#include <string>
#include <string_view>

namespace tarvix {

// The state of a server row, shown as its icon (":/state<n>.png").
enum RowState { RowNotScanned = 0, RowAnswered = 1, RowFull = 2, RowNoAnswer = 3 };

// Texts and icon of one row.
struct ScanRow {
  std::string caption;  // "12/16", "FULL", "no response", "sends shit"
  std::string map;
  std::string host;
  std::string game;
  int icon = RowNoAnswer;
  // A reply came but could not be read (or the name lists could not be):
  // "sends shit" under the no-answer icon.
  bool unreadable = false;
  // Beyond the window's columns, for headless output: the address queried
  // ("ip:port", empty when the list had none) and the reply's bytes.
  std::string address;
  std::string reply;
  // Milliseconds from the request to its reply; -1 without a reply.
  int replyMs = -1;
};

// A server that answered with `players` named players: "FULL" under the full
// icon when isFull(), else "players/maxClients"; a maximum that is not a
// whole number makes the reply unreadable ("sends shit").
ScanRow answeredRow(std::string host, long long players, std::string_view maxClients,
                    std::string map, std::string game);
// A server that gave no answer: "no response", map and game a single space.
ScanRow noResponseRow(std::string host);
// A reply that could not be read: "sends shit", otherwise as noResponseRow().
ScanRow unreadableRow(std::string host);

// The state's name in JSON output: "answered", "full", "not scanned",
// "unreadable" or "no response".
const char* rowStateName(const ScanRow& row);

}  // namespace tarvix
