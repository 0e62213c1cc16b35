#include "app/core/HistoryPasses.h"

#include <ctime>
#include <utility>

#include "protocol/StatusReply.h"

namespace tarvix {

std::int64_t historyNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::optional<ServerSample> statusSample(const std::string& address, const std::string& name,
                                         const std::string& reply, int replyMs) {
  long long slots = 0;
  if (!scanAnswered(reply) || !maxClientsNumber(keyValue(reply, kMaxClientsKey), slots))
    return std::nullopt;
  ServerSample s;
  s.address = address;
  s.name = name;
  s.players = static_cast<int>(scanPlayerNames(reply).size());
  s.maxPlayers = static_cast<int>(slots);
  s.map = keyValue(reply, kMapNameKey);
  s.edition = editionOf(reply);
  s.replyMs = replyMs;
  return s;
}

HistoryPass scanHistory(std::int64_t time, const std::vector<ScanRow>& rows,
                        const std::vector<HeadlessBuddy>& hits) {
  PassRecording recording;
  for (const ScanRow& row : rows) recording.addRow(row);
  for (const HeadlessBuddy& hit : hits) recording.addHit(hit.caption, hit.server);
  return recording.finish(time);
}

HistoryPass browseHistory(std::int64_t time, const DiscoveryResult& found,
                          const std::vector<HeadlessBuddy>& hits) {
  HistoryPass pass;
  pass.time = time;
  for (const FoundServer& s : found.servers) {
    if (!s.answered) continue;
    pass.servers.push_back({s.ip + ":" + std::to_string(s.gamePort), s.hostName, s.numPlayers,
                            s.maxPlayers, s.mapName, foundEdition(s), s.pingMs});
  }
  // A discovery's hits name the game address.
  for (const HeadlessBuddy& hit : hits) pass.sightings.push_back({hit.caption, hit.server});
  return pass;
}

void PassRecording::addRow(const ScanRow& row) {
  if (row.address.empty() || (row.icon != RowAnswered && row.icon != RowFull)) return;
  std::optional<ServerSample> s = statusSample(row.address, row.host, row.reply, row.replyMs);
  if (!s) return;
  // The row's texts are what the window showed.
  s->map = row.map;
  s->edition = row.game;
  addressOf_.emplace(row.host, row.address);
  pass_.servers.push_back(std::move(*s));
}

void PassRecording::addHit(const std::string& caption, const std::string& server) {
  hits_.push_back({caption, server});
}

HistoryPass PassRecording::finish(std::int64_t time) {
  HistoryPass pass = std::exchange(pass_, {});
  pass.time = time;
  for (const HeadlessBuddy& hit : hits_)
    if (auto it = addressOf_.find(hit.server); it != addressOf_.end())
      pass.sightings.push_back({hit.caption, it->second});
  hits_.clear();
  addressOf_.clear();
  return pass;
}

}  // namespace tarvix
