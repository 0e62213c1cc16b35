#include "app/core/ScanAll.h"

#include "store/ServerLists.h"

#include <exception>
#include <system_error>
#include <utility>

#include "app/core/ConsoleLogs.h"
#include "protocol/StatusQuery.h"
#include "protocol/StatusReply.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

std::vector<std::string> BuddyHits(const std::vector<std::string>& buddies,
                                   const std::vector<std::string>& clantags, bool clantagsOn,
                                   std::string_view playerName) {
  std::vector<std::string> hits;
  for (const std::string& b : buddies)
    if (BuddyMatches(b, playerName)) hits.push_back(b);
  if (clantagsOn)
    for (const std::string& t : clantags)
      if (ClantagMatches(t, playerName)) hits.emplace_back(playerName);
  return hits;
}

TListLookup FindServerInLines(const std::vector<std::string>& lines, std::string_view name) {
  TListLookup at;
  if (std::optional<ServerAddress> found = LookupServerIn(lines, name)) {
    at.found = true;
    at.ip = std::move(found->ip);
    at.port = std::move(found->port);
  }
  return at;
}

namespace {

TScanRow silentRow(const std::string& host, const char* caption) {
  TScanRow row;
  row.caption = caption;
  row.map = " ";
  row.host = host;
  row.game = " ";
  row.icon = ScanIconNoAnswer;
  return row;
}

TScanRow noResponse(const std::string& host) { return silentRow(host, "no response"); }
TScanRow sendsShit(const std::string& host) { return silentRow(host, "sends shit"); }

}  // namespace

TScanAll::TScanAll(std::shared_ptr<TScanView> view) : view_(std::move(view)) {}

TScanAll::~TScanAll() { shutdown(); }

void TScanAll::start() {
  launch([this] { run(); });
}



template <typename F>
auto TScanAll::touch(F&& f) {
  return guarded([&] { return f(*view_); });
}

void TScanAll::run() {
  try {
    pass();
  } catch (const Stopped&) {
    end_ = End::Stopped;
  } catch (const std::exception&) {
    // Nothing escapes the thread; the window stays scanning until stopped.
    end_ = End::Failed;
  }
}

void TScanAll::matchPlayer(const std::string& name, const std::string& server) {
  // Both files are read anew for every player; either missing throws.
  const std::vector<std::string> buddies = ReadNameList(kBuddiesFile);
  const std::vector<std::string> clantags = ReadNameList(kClantagsFile);
  const bool clantagsOn = touch([](TScanView& v) { return v.clantagsOn(); });
  for (const std::string& caption : BuddyHits(buddies, clantags, clantagsOn, name))
    touch([&](TScanView& v) { v.addBuddy(caption, server); });
  touch([](TScanView& v) { v.updateBuddyCaption(); });
}

void TScanAll::pass() {
  touch([](TScanView& v) {
    v.setAutoSort(false);
    v.clearBuddies();
  });
  const int n = touch([](TScanView& v) { return v.serverNameCount(); });
  touch([](TScanView& v) { v.showProgress(0); });
  IdUDPClient2.recreate();

  for (int i = 0; i < touch([](TScanView& v) { return v.rowCount(); }); ++i) {
    touch([&](TScanView& v) {
      v.stepProgress();
      v.setStatusText(std::to_string(i) + " - " + std::to_string(n) + " scanning...");
    });
    const std::string host = touch([&](TScanView& v) { return v.rowHost(i); });
    const std::string path = touch([](TScanView& v) { return v.serverListPath(); });

    std::vector<std::string> lines;
    try {
      lines = readLines(path);
    } catch (const FileError&) {
      // The pass ends here without the stop; "stop scan" ends the scanning state.
      end_ = End::ListUnreadable;
      return;
    }
    const TListLookup where = FindServerInLines(lines, host);

    TScanRow row;
    if (!where.found) {
      // No address: nothing is queried and the row shows no other server's state.
      row = noResponse(host);
    } else {
      const int timeout = touch([](TScanView& v) { return v.scanTimeout(); });
      UdpResult reply;
      std::string error;
      if (IdUDPClient2.recreate(&error)) {
        reply = QueryStatus(IdUDPClient2, where.ip, where.port, timeout, &stopSignal());
      } else {
        reply.outcome = UdpOutcome::Failed;
        reply.error = error;
      }
      if (reply.outcome == UdpOutcome::Stopped) throw Stopped{};
      if (reply.failed()) consoleLogs().append(LogKind::BadLog, kScanSocketLog);
      const std::string raw = reply.ok() ? reply.bytes : std::string();

      if (!ScanAnswered(raw)) {
        row = noResponse(host);
      } else {
        const TStatusReply status = ReadStatusReply(raw);
        long long count = 0;
        long long max = 0;
        bool readable = true;
        try {
          for (const std::string& name : ScanPlayerNames(raw)) {
            ++count;
            matchPlayer(name, host);
          }
        } catch (const FileError&) {
          readable = false;
        }
        if (readable && MaxClientsNumber(status.MaxClients, max)) {
          const bool full = count == max;
          row.caption = full ? std::string("FULL") : std::to_string(count) + "/" + status.MaxClients;
          row.map = status.MapName;
          row.host = host;
          row.game = status.Edition;
          row.icon = full ? ScanIconFull : ScanIconAnswered;
        } else {
          row = sendsShit(host);
        }
      }
    }
    touch([&](TScanView& v) {
      v.setRow(i, row);
      v.makeRowVisible(i);
    });
  }

  touch([&](TScanView& v) {
    v.hideProgress();
    v.sortPlayersAndBuddies();
    v.setStatusText(std::to_string(n) + " servers in " + v.serverListPath());
    v.showFirstPlayedRow();
  });
  touch([](TScanView& v) { v.finishPass(); });
  end_ = End::Completed;
}

}  // namespace tarvix
