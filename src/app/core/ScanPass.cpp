#include "app/core/ScanPass.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <system_error>
#include <utility>

#include "app/core/ListStatus.h"
#include "base/ConsoleLogs.h"
#include "protocol/StatusQuery.h"
#include "protocol/StatusQueryPool.h"
#include "protocol/StatusReply.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "store/ServerLists.h"

namespace tarvix {

std::vector<std::string> buddyHits(const std::vector<std::string>& buddies,
                                   const std::vector<std::string>& clantags, bool clantagsOn,
                                   std::string_view playerName) {
  std::vector<std::string> hits;
  for (const std::string& b : buddies)
    if (buddyMatches(b, playerName)) hits.push_back(b);
  if (clantagsOn)
    for (const std::string& t : clantags)
      if (clantagMatches(t, playerName)) hits.emplace_back(playerName);
  return hits;
}

namespace {

int millisecondsSince(std::chrono::steady_clock::time_point start) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count());
}

}  // namespace

ScanPass::ScanPass(std::shared_ptr<ScanView> view, int parallelQueries, int retries)
    : view_(std::move(view)),
      parallel_(parallelQueries > 0 ? queriesInFlight(parallelQueries) : 0),
      retries_(std::clamp(retries, 0, kMaxScanRetries)) {}

ScanPass::~ScanPass() { shutdown(); }

template <typename F>
auto ScanPass::onView(F&& f) {
  return guarded([&] { return f(*view_); });
}

// A pass that fails leaves the window scanning until it is stopped.
void ScanPass::pass() {
  // A pass that ended watches no file.
  struct Release {
    ScanPass& p;
    ~Release() {
      p.listFile_.forget();
      p.matcher_.forget();
    }
  } release{*this};
  if (parallel_ > 0)
    parallelPass();
  else
    sequentialPass();
}

void ScanPass::beginRow(int i, int n) {
  onView([&](ScanView& v) {
    v.stepProgress();
    v.setStatusText(std::to_string(i) + " - " + std::to_string(n) + " scanning...");
  });
}

std::optional<ServerAddress> ScanPass::findServer(const std::string& path,
                                                  const std::string& host) {
  WatchedFile::Lines lines = listFile_.lines(path);
  if (listFile_.reads() != indexedReads_) {
    listIndex_ = ServerListIndex(lines);
    indexedReads_ = listFile_.reads();
  }
  return listIndex_.lookup(host);
}

ScanRow ScanPass::answeredRow(const std::string& host, std::string_view raw) {
  const ScanReply status = readScanReply(raw);
  const std::vector<std::string_view>& names = status.playerNames;
  if (!names.empty()) {
    // The lists are consulted once per server: its players are matched
    // within microseconds, so an edit is seen from the next server on.
    try {
      matcher_.refresh();
    } catch (const FileError&) {
      return unreadableRow(host);
    }
    const bool clantagsOn = onView([](ScanView& v) { return v.clantagsOn(); });
    std::vector<std::string> captions;
    for (std::string_view name : names) matcher_.addHits(name, clantagsOn, captions);
    onView([&](ScanView& v) {
      if (!captions.empty()) v.addBuddies(captions, host);
      v.updateBuddyCaption();
    });
  }
  return tarvix::answeredRow(host, static_cast<long long>(names.size()), status.maxClients,
                             std::string(status.mapName), std::string(status.edition));
}

void ScanPass::finishRow(int i, const std::string& host, const std::optional<ServerAddress>& where,
                         UdpResult& reply, int replyMs) {
  ScanRow row;
  if (!where) {
    // No address: nothing was queried and the row shows no other server's state.
    row = noResponseRow(host);
  } else {
    if (reply.failed()) consoleLogs().append(LogKind::BadLog, kScanSocketLog);
    const std::string_view raw = reply.ok() ? std::string_view(reply.bytes) : std::string_view();
    row = scanAnswered(raw) ? answeredRow(host, raw) : noResponseRow(host);
    if (!where->ip.empty()) row.address = where->ip + ":" + where->port;
    if (!raw.empty()) row.replyMs = replyMs;
    if (reply.ok() && keepReplies_) row.reply = std::move(reply.bytes);
  }
  onView([&](ScanView& v) {
    v.setRow(i, std::move(row));
    v.makeRowVisible(i);
  });
}

int ScanPass::beginPass() {
  onView([](ScanView& v) {
    v.setAutoSort(false);
    v.clearBuddies();
  });
  const int n = onView([](ScanView& v) { return v.serverNameCount(); });
  keepReplies_ = onView([](ScanView& v) { return v.keepsReplies(); });
  onView([](ScanView& v) { v.showProgress(0); });
  return n;
}

void ScanPass::endPass(int n) {
  onView([&](ScanView& v) {
    v.hideProgress();
    v.sortPlayersAndBuddies();
    v.setStatusText(serversInListText(static_cast<std::size_t>(n), v.serverListPath()));
    v.showFirstPlayedRow();
  });
  onView([](ScanView& v) { v.finishPass(); });
}

void ScanPass::sequentialPass() {
  const int n = beginPass();
  client_.recreate();

  for (int i = 0; i < onView([](ScanView& v) { return v.rowCount(); }); ++i) {
    beginRow(i, n);
    const std::string host = onView([&](ScanView& v) { return v.rowHost(i); });
    const std::string path = onView([](ScanView& v) { return v.serverListPath(); });

    std::optional<ServerAddress> where;
    try {
      where = findServer(path, host);
    } catch (const FileError&) {
      // The pass ends here without the stop; "stop scan" ends the scanning state.
      endAs(End::ListUnreadable);
      return;
    }
    UdpResult reply;
    int replyMs = -1;
    if (where) {
      const int timeout = onView([](ScanView& v) { return v.scanTimeout(); });
      for (int attempt = 0; attempt <= retries_; ++attempt) {
        // A new socket for every server, so that a late answer to an
        // earlier one is never read as this one's; a retry goes out from it
        // again, as a server may drop the first request from a new port.
        std::string error;
        if (attempt > 0 || client_.recreate(&error)) {
          const auto sent = std::chrono::steady_clock::now();
          reply = queryStatus(client_, where->ip, where->port, timeout, &stopSignal());
          replyMs = millisecondsSince(sent);
        } else {
          reply.outcome = UdpOutcome::Failed;
          reply.error = error;
        }
        if (reply.outcome == UdpOutcome::Stopped) throw Stopped{};
        if (reply.outcome != UdpOutcome::TimedOut) break;
      }
    }
    finishRow(i, host, where, reply, replyMs);
  }
  endPass(n);
}

// A row of the parallel pass that was started and is not yet written.
struct ScanPass::Ahead {
  std::string host;
  std::optional<ServerAddress> where;
  bool done = false;
  UdpResult reply;
  std::chrono::steady_clock::time_point sent;
  int replyMs = -1;
};

int ScanPass::startBatch(std::deque<Ahead>& ahead, int& next, StatusQueryPool& pool) {
  // The view and the list file are looked at once per batch, not per row.
  const int rows = onView([](ScanView& v) { return v.rowCount(); });
  const std::string path = onView([](ScanView& v) { return v.serverListPath(); });
  const int timeout = onView([](ScanView& v) { return v.scanTimeout(); });
  int started = 0;
  for (; started < kStartBatch && pool.hasRoom() && next < rows; ++started) {
    Ahead row;
    row.host = onView([&](ScanView& v) { return v.rowHost(next); });
    try {
      row.where = started == 0 ? findServer(path, row.host) : listIndex_.lookup(row.host);
    } catch (const FileError&) {
      return -1;
    }
    row.done = !row.where;
    row.sent = std::chrono::steady_clock::now();
    if (row.where) pool.start(next, row.where->ip, row.where->port, timeout);
    ahead.push_back(std::move(row));
    ++next;
  }
  return started;
}

void ScanPass::writeDone(std::deque<Ahead>& ahead, int& written, int n) {
  while (!ahead.empty() && ahead.front().done) {
    Ahead& row = ahead.front();
    beginRow(written, n);
    finishRow(written, row.host, row.where, row.reply, row.replyMs);
    ahead.pop_front();
    ++written;
  }
}

void ScanPass::parallelPass() {
  // Rows are queried ahead, up to parallel_ at a time, and written in row
  // order once every row before them is done: the view sees what the
  // sequential pass shows, only sooner.
  const int n = beginPass();
  StatusQueryPool pool(parallel_, 1 + retries_, &stopSignal());
  std::deque<Ahead> ahead;  // rows written .. next-1
  int written = 0, next = 0;
  bool listUnreadable = false;
  while (true) {
    // Queries go out in batches, and what arrived is read between them, so
    // that sending never keeps a reply waiting past its time-out.
    const int started = listUnreadable ? 0 : startBatch(ahead, next, pool);
    if (started < 0) listUnreadable = true;
    const bool more = started == kStartBatch && pool.hasRoom();
    if (!(more ? pool.poll() : pool.wait())) throw Stopped{};
    for (PoolReply& r : pool.takeCompleted()) {
      Ahead& row = ahead[static_cast<std::size_t>(r.id - written)];
      row.reply = std::move(r.result);
      row.replyMs = millisecondsSince(row.sent);
      row.done = true;
    }
    writeDone(ahead, written, n);
    if (!ahead.empty()) continue;
    if (listUnreadable) {
      // As the sequential pass: the row that could not be looked up was begun.
      beginRow(written, n);
      endAs(End::ListUnreadable);
      return;
    }
    if (written >= onView([](ScanView& v) { return v.rowCount(); })) break;
  }
  endPass(n);
}

}  // namespace tarvix
