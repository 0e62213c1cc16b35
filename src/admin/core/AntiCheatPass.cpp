#include "admin/core/AntiCheatPass.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "base/SortText.h"
#include "base/Text.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"
#include "protocol/StatusReply.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

std::vector<ConsolePlayer> antiCheatPlayers(std::string_view r) {
  std::vector<ConsolePlayer> players;
  constexpr std::size_t npos = std::string_view::npos;
  if (r.size() < 2) return players;
  // Every scan stops before the last character (normally the final line feed).
  const std::size_t last = r.size() - 1;
  auto findBefore = [&](char c, std::size_t from) {
    const std::size_t at = r.find(c, from);
    return at < last ? at : npos;
  };
  std::size_t at = findBefore('\n', 25);
  while (at != npos) {
    const std::size_t from = at + 1;
    const std::size_t blank = findBefore(' ', from);
    if (blank == npos) break;  // the ping runs to the end: no name follows
    const std::size_t open = findBefore('"', blank + 1);
    if (open == npos) break;
    std::size_t close = findBefore('"', open + 1);
    ConsolePlayer p;
    p.ping = std::string(r.substr(from, blank + 1 - from));
    p.name = std::string(r.substr(open + 1, (close == npos ? last : close) - open - 1));
    players.push_back(std::move(p));
    if (close == npos) break;
    at = findBefore('\n', close + 1);
  }
  return players;
}

AntiCheatPass::~AntiCheatPass() { shutdown(); }

// Re-creates the client, then sends one rcon datagram built with the
// password as it is at this moment.
bool AntiCheatPass::sendRcon(std::string_view command) {
  if (!client_.recreate()) return false;
  return touch([&] {
    const std::string password = view_->rconPassword();
    return !password.empty() && client_.send(rconRequest(password, command)).ok();
  });
}

bool AntiCheatPass::hasRconPassword() {
  return touch([&] { return !view_->rconPassword().empty(); });
}

UdpResult AntiCheatPass::rconQuery(std::string_view command, int timeoutMs) {
  UdpResult r;
  std::string error;
  if (!client_.recreate(&error)) {
    r.outcome = UdpOutcome::Failed;
    r.error = error;
    return r;
  }
  r = touch([&] {
    const std::string password = view_->rconPassword();
    if (!password.empty()) return client_.send(rconRequest(password, command));
    UdpResult none;
    none.outcome = UdpOutcome::Failed;
    none.error = "no rcon password";
    return none;
  });
  if (!r.ok()) return r;
  r = client_.receive(timeoutMs, &stopSignal(), ReplyFrom::Addressee);
  if (r.outcome == UdpOutcome::Stopped) throw Stopped{};
  if (r.ok()) r.bytes = cleanReply(r.bytes);
  return r;
}

// A name list that could not be read ends the pass without the console's stop.
PassEnd AntiCheatPass::endingFor(const std::exception& e) const {
  return dynamic_cast<const FileError*>(&e) ? End::ListUnreadable : End::Failed;
}

void AntiCheatPass::pass() {
  const std::string stamp = "scan @ " + headerTime();
  log(LogKind::PlayerLog, stamp);
  touch([&] { view_->clearPlayers(); });

  std::vector<Row> rows;
  if (!statusStep(rows)) log(LogKind::BadLog, kAntiCheatStatusError);

  if (touch([&] { return view_->detectSkins(); })) {
    log(LogKind::ScanLog, stamp);
    // Without a password no kick can be sent.
    for (std::size_t k = 0; k < rows.size() && hasRconPassword(); ++k) {
      if (touch([&] { return view_->checkBans(); })) banRule(rows[k]);
      if (touch([&] { return view_->checkSkins(); })) skinRule(rows[k]);
    }
    log(LogKind::ScanLog, kScanEnd);
  }
  log(LogKind::PlayerLog, kScanEnd);
  touch([&] { view_->finishPass(); });
}

// Fills `rows` (in the list's order) and their columns; false on a socket
// failure or an empty reply to "status".
bool AntiCheatPass::statusStep(std::vector<Row>& rows) {
  const int timeout = touch([&] { return view_->scanTimeout(); });
  // The server is looked up once per pass, outside the guard, so that a stop
  // never waits for a name server; every later send uses the result.
  if (client_.resolveServer(&stopSignal()).outcome == UdpOutcome::Stopped) throw Stopped{};
  UdpResult reply = touch([&] { return client_.send(statusRequest()); });
  if (reply.ok()) reply = client_.receive(timeout, &stopSignal(), ReplyFrom::Addressee);
  if (reply.outcome == UdpOutcome::Stopped) throw Stopped{};
  if (reply.failed()) return false;
  const std::string text = reply.ok() ? cleanReply(reply.bytes) : std::string();

  if (consoleAnswered(text)) {
    int id = 0;
    for (ConsolePlayer& p : antiCheatPlayers(text)) {
      Row row{id++, std::move(p), {}};
      row.quotedName = quotedRconArgument(row.player.name).value_or(std::string());
      touch([&] { view_->addPlayer(row.id, row.player); });
      log(LogKind::PlayerLog, escapeControls(row.player.name));
      // The list keeps its rows in alphabetical order; equal names keep
      // the order they were added in.
      auto at = std::upper_bound(rows.begin(), rows.end(), row, [](const Row& a, const Row& b) {
        return compareListText(a.player.name, b.player.name) < 0;
      });
      rows.insert(at, std::move(row));
    }
  }

  // Without a password the rows keep their blanks: no rcon datagram is sent.
  if (!hasRconPassword()) return true;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    Row& row = rows[k];
    ConsolePlayer& p = row.player;
    if (row.quotedName.empty()) {
      log(LogKind::BadLog, std::string(kCannotAddressPlayer) + escapeControls(p.name));
      continue;
    }
    const UdpResult dump =
        rconQuery("dumpuser " + row.quotedName, touch([&] { return view_->scanTimeout(); }));
    if (dump.failed()) return false;
    const std::string dumpText = dump.ok() ? dump.bytes : std::string();
    p.rate = dumpuserValue(dumpText, kRateLabel);
    p.axisSkin = dumpuserValue(dumpText, kAxisSkinLabel);
    p.alliesSkin = dumpuserValue(dumpText, kAlliesSkinLabel);
    touch([&] {
      view_->setPlayerText(row.id, PlayerColumn::Rate, p.rate);
      view_->setPlayerText(row.id, PlayerColumn::AxisSkin, p.axisSkin);
      view_->setPlayerText(row.id, PlayerColumn::AlliesSkin, p.alliesSkin);
    });
    pause(500);

    const UdpResult status = rconQuery("status", touch([&] { return view_->scanTimeout(); }));
    if (!status.ok() || status.bytes.empty()) return false;
    p.ip = statusAddress(status.bytes, p.name);
    p.score = statusScore(status.bytes, p.name);
    touch([&] {
      view_->setPlayerText(row.id, PlayerColumn::IP, p.ip);
      view_->setPlayerText(row.id, PlayerColumn::Score, p.score);
    });
    pause(500);
  }
  return true;
}

// Log and console texts show the server's text with control bytes escaped.
void AntiCheatPass::banRule(const Row& row) {
  if (row.quotedName.empty()) return;
  const ConsolePlayer& p = row.player;
  const std::string name = escapeControls(p.name);
  const std::string ip = escapeControls(p.ip);
  for (const std::string& ban : readNameList(kBansFile)) {
    if (!banMatches(ban, p.name, p.ip)) continue;
    if (!sendRcon("kick " + row.quotedName)) {
      log(LogKind::BadLog, std::string(kAntiCheatKickError) + name);
      continue;
    }
    touch([&] { view_->addConsoleLine("!! -> baned player kicked: " + name + " IP: " + ip); });
    log(LogKind::ScanLog, "baned player kicked:  " + name + "\r\nIP: " + ip);
    pause(touch([&] { return view_->scanTimeout(); }));
  }
}

void AntiCheatPass::skinRule(const Row& row) {
  if (row.quotedName.empty()) return;
  const ConsolePlayer& p = row.player;
  const std::string name = escapeControls(p.name);
  const std::string ip = escapeControls(p.ip);
  for (const std::string& skin : readNameList(kSkinsFile)) {
    if (!skinMatches(skin, p.axisSkin, p.alliesSkin)) continue;
    if (!sendRcon("kick " + row.quotedName)) {
      log(LogKind::BadLog, std::string(kAntiCheatKickError) + name);
      continue;
    }
    pause(500);
    if (!sendRcon("say " + sayText(p.name) + " kicked ! Cheatskin detected: " + sayText(skin))) {
      log(LogKind::BadLog, std::string(kAntiCheatKickError) + name);
      continue;
    }
    const std::string shownSkin = escapeControls(skin);
    touch([&] {
      view_->addConsoleLine("!! -> " + name + " kicked - customskin " + shownSkin +
                            " detected ! IP: " + ip);
    });
    log(LogKind::ScanLog,
        "custom skin player kicked:  " + name + "\r\nIP: " + ip + "\r\n" + shownSkin);
  }
}

}  // namespace tarvix
