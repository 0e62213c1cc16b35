#include "store/History.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>
#include <unordered_map>

#include "store/Sqlite.h"

namespace tarvix {

namespace {

constexpr int kSchemaVersion = 1;

// Integer server and map ids, integer times, tables keyed by (server, time)
// without a row id: a sample takes about twenty bytes.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS servers(id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE,
  name TEXT NOT NULL, edition TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS maps(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS samples(server INTEGER NOT NULL, time INTEGER NOT NULL,
  players INTEGER NOT NULL, slots INTEGER NOT NULL, map INTEGER NOT NULL, ms INTEGER NOT NULL,
  PRIMARY KEY(server, time)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS summaries(server INTEGER NOT NULL, span INTEGER NOT NULL,
  time INTEGER NOT NULL, low INTEGER NOT NULL, total INTEGER NOT NULL, high INTEGER NOT NULL,
  slots INTEGER NOT NULL, map INTEGER NOT NULL, count INTEGER NOT NULL,
  PRIMARY KEY(server, span, time)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS sightings(server INTEGER NOT NULL, name TEXT NOT NULL,
  time INTEGER NOT NULL, PRIMARY KEY(server, name)) WITHOUT ROWID;
)sql";

// Summaries of a span, folded from the finer tier; `source` selects the
// rows of that tier older than ?2, and the ids ?1 (the span) and ?3 (the
// finer span) are bound by the caller.
constexpr const char* kFoldSamples = R"sql(
INSERT INTO summaries(server, span, time, low, total, high, slots, map, count)
SELECT server, ?1, time / ?1 * ?1, min(players), sum(players), max(players), max(slots), map,
  count(*) FROM samples WHERE server IN (SELECT id FROM servers) AND time < ?2
  GROUP BY server, time / ?1
ON CONFLICT(server, span, time) DO UPDATE SET low = min(low, excluded.low),
  total = total + excluded.total, high = max(high, excluded.high),
  slots = max(slots, excluded.slots), map = excluded.map, count = count + excluded.count)sql";
constexpr const char* kFoldSummaries = R"sql(
INSERT INTO summaries(server, span, time, low, total, high, slots, map, count)
SELECT server, ?1, time / ?1 * ?1, min(low), sum(total), max(high), max(slots), map,
  sum(count) FROM summaries WHERE server IN (SELECT id FROM servers) AND span = ?3
  AND time < ?2 GROUP BY server, time / ?1
ON CONFLICT(server, span, time) DO UPDATE SET low = min(low, excluded.low),
  total = total + excluded.total, high = max(high, excluded.high),
  slots = max(slots, excluded.slots), map = excluded.map, count = count + excluded.count)sql";

constexpr const char* kDropSummaries =
    "DELETE FROM summaries WHERE server IN (SELECT id FROM servers) AND span = ?2 AND time < ?1";

std::int64_t floorTo(std::int64_t t, std::int64_t step) {
  const std::int64_t q = t / step;
  return (t % step < 0 ? q - 1 : q) * step;
}

std::string systemText(int err) { return std::strerror(err); }

// The data folder's rules for a file of its own: never through a link,
// only a regular file of this user, private to its owner.
void prepareFile(const std::string& path, bool create) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode) || !S_ISREG(st.st_mode))
      throw HistoryError(path + " is not a plain file: refused");
    if (st.st_uid != ::geteuid()) throw HistoryError(path + " belongs to another user: refused");
    if ((st.st_mode & 077) != 0 && create && ::chmod(path.c_str(), 0600) != 0)
      throw HistoryError(path + ": " + systemText(errno));
    return;
  }
  if (errno != ENOENT) throw HistoryError(path + ": " + systemText(errno));
  if (!create) throw HistoryError(path + ": no history yet");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0 && errno != EEXIST) throw HistoryError(path + ": " + systemText(errno));
  if (fd >= 0) ::close(fd);
}

// Switches the file to the write-ahead log. While another writer makes the
// same new file, the switch can find it locked: try again within the time-out.
bool writeAheadLogOn(SqliteDatabase& db, int timeoutMs) {
  for (int waited = 0;; waited += 10) {
    try {
      if (db.text("PRAGMA journal_mode = WAL") == "wal") return true;
    } catch (const SqliteError&) {
      if (waited >= timeoutMs) throw;
    }
    if (waited >= timeoutMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

struct History::Impl {
  Impl(const std::string& path, const HistoryOptions& options)
      : path(path), db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX) {
    sqlite3_busy_timeout(db.handle(), options.busyTimeoutMs);
    if (!writeAheadLogOn(db, options.busyTimeoutMs))
      throw HistoryError(path + ": the write-ahead log cannot be used");
    db.execute("PRAGMA synchronous = NORMAL; PRAGMA journal_size_limit = 4194304");
    const std::int64_t version = db.integer("PRAGMA user_version");
    if (version > kSchemaVersion)
      throw HistoryError(path + " was written by a newer version: left alone");
    if (version < kSchemaVersion && !options.readOnly) {
      db.execute("BEGIN IMMEDIATE");
      try {
        // Another writer may have made the tables while this one waited for the lock.
        if (db.integer("PRAGMA user_version") < kSchemaVersion) {
          db.execute(kSchema);
          db.execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
        }
        db.execute("COMMIT");
      } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
      }
    }
  }

  struct Server {
    std::int64_t id;
    std::string name, edition;
  };
  void loadIds() {
    if (loaded) return;
    servers.clear();
    maps.clear();
    SqliteStatement s(db.handle(), "SELECT id, address, name, edition FROM servers");
    while (s.step()) servers[s.text(1)] = {s.integer(0), s.text(2), s.text(3)};
    SqliteStatement m(db.handle(), "SELECT id, name FROM maps");
    while (m.step()) maps[m.text(1)] = m.integer(0);
    loaded = true;
  }
  std::optional<std::int64_t> idOf(const std::string& address) {
    loadIds();
    auto it = servers.find(address);
    if (it == servers.end()) return std::nullopt;
    return it->second.id;
  }
  SqliteStatement& statement(std::unique_ptr<SqliteStatement>& s, const char* sql) {
    if (!s) s = std::make_unique<SqliteStatement>(db.handle(), sql);
    return *s;
  }

  std::string path;
  SqliteDatabase db;
  std::unordered_map<std::string, Server> servers;
  std::unordered_map<std::string, std::int64_t> maps;
  bool loaded = false;
  std::int64_t foldedTo = 0;  // the raw tier's last cutoff folded
  std::unique_ptr<SqliteStatement> insertSample, upsertServer, renameServer, upsertMap,
      upsertSighting, foldSamples, foldSummaries, dropSamples, dropSummaries, dropSightings;
};

History::History(const std::string& path, HistoryOptions options) {
  prepareFile(path, !options.readOnly);
  try {
    impl_ = std::make_unique<Impl>(path, options);
  } catch (const SqliteError& e) {
    throw HistoryError(path + ": " + e.what());
  }
}

History::~History() = default;

void History::record(const HistoryPass& pass) {
  Impl& d = *impl_;
  try {
    d.db.execute("BEGIN IMMEDIATE");
    try {
      write(pass);
      fold(pass.time);
      d.db.execute("COMMIT");
    } catch (...) {
      sqlite3_exec(d.db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
      // Ids handed out in the rolled-back transaction are gone.
      d.loaded = false;
      d.foldedTo = 0;
      throw;
    }
  } catch (const SqliteError& e) {
    throw HistoryError(d.path + ": " + e.what());
  }
}

void History::age(std::int64_t now) {
  Impl& d = *impl_;
  try {
    d.db.execute("BEGIN IMMEDIATE");
    try {
      d.foldedTo = 0;
      fold(now);
      d.db.execute("COMMIT");
    } catch (...) {
      sqlite3_exec(d.db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  } catch (const SqliteError& e) {
    throw HistoryError(d.path + ": " + e.what());
  }
}

void History::write(const HistoryPass& pass) {
  Impl& d = *impl_;
  SqliteStatement& sample =
      d.statement(d.insertSample,
                  "INSERT OR REPLACE INTO samples(server, time, players, slots, map, ms) "
                  "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
  for (const ServerSample& s : pass.servers) {
    const std::int64_t map = mapId(s.map);
    sample.bind(1, serverId(s)).bind(2, pass.time).bind(3, s.players).bind(4, s.maxPlayers);
    sample.bind(5, map).bind(6, s.replyMs).run();
  }
  SqliteStatement& seen =
      d.statement(d.upsertSighting,
                  "INSERT INTO sightings(server, name, time) VALUES(?1, ?2, ?3) "
                  "ON CONFLICT(server, name) DO UPDATE SET time = max(time, excluded.time)");
  for (const Sighting& s : pass.sightings) {
    std::optional<std::int64_t> id = d.idOf(s.address);
    if (!id) {
      ServerSample unnamed;
      unnamed.address = s.address;
      id = serverId(unnamed);
    }
    seen.bind(1, *id).bind(2, s.name).bind(3, pass.time).run();
  }
}

std::int64_t History::serverId(const ServerSample& s) {
  Impl& d = *impl_;
  d.loadIds();
  auto it = d.servers.find(s.address);
  if (it != d.servers.end()) {
    Impl::Server& known = it->second;
    if (!s.name.empty() && (known.name != s.name || known.edition != s.edition)) {
      d.statement(d.renameServer, "UPDATE servers SET name = ?2, edition = ?3 WHERE id = ?1")
          .bind(1, known.id)
          .bind(2, s.name)
          .bind(3, s.edition)
          .run();
      known.name = s.name;
      known.edition = s.edition;
    }
    return known.id;
  }
  // Another writer may have added it since the ids were read.
  SqliteStatement& add =
      d.statement(d.upsertServer,
                  "INSERT INTO servers(address, name, edition) VALUES(?1, ?2, ?3) "
                  "ON CONFLICT(address) DO UPDATE SET name = iif(?2 = '', name, ?2), "
                  "edition = iif(?2 = '', edition, ?3) RETURNING id");
  add.bind(1, s.address).bind(2, s.name).bind(3, s.edition);
  add.step();
  const std::int64_t id = add.integer(0);
  add.run();
  d.servers[s.address] = {id, s.name, s.edition};
  return id;
}

std::int64_t History::mapId(const std::string& map) {
  Impl& d = *impl_;
  d.loadIds();
  if (auto it = d.maps.find(map); it != d.maps.end()) return it->second;
  SqliteStatement& add = d.statement(
      d.upsertMap,
      "INSERT INTO maps(name) VALUES(?1) ON CONFLICT(name) DO UPDATE SET name = name RETURNING id");
  add.bind(1, map);
  add.step();
  const std::int64_t id = add.integer(0);
  add.run();
  d.maps[map] = id;
  return id;
}

void History::fold(std::int64_t now) {
  Impl& d = *impl_;
  constexpr std::size_t tiers = std::size(kHistoryTiers);
  // Cutoffs fall on whole spans of the coarser tier: every span folded is
  // complete, and nothing changes until the first cutoff moves on.
  const std::int64_t first = floorTo(now - kHistoryTiers[0].keepFor, kHistoryTiers[1].span);
  if (first <= d.foldedTo) return;
  for (std::size_t i = 0; i + 1 < tiers; ++i) {
    const HistoryTier& from = kHistoryTiers[i];
    const HistoryTier& to = kHistoryTiers[i + 1];
    const std::int64_t cutoff = floorTo(now - from.keepFor, to.span);
    if (i == 0) {
      d.statement(d.foldSamples, kFoldSamples).bind(1, to.span).bind(2, cutoff).run();
      d.statement(d.dropSamples,
                  "DELETE FROM samples WHERE server IN (SELECT id FROM servers) AND time < ?1")
          .bind(1, cutoff)
          .run();
    } else {
      SqliteStatement& f = d.statement(d.foldSummaries, kFoldSummaries);
      f.bind(1, to.span).bind(2, cutoff).bind(3, from.span).run();
      d.statement(d.dropSummaries, kDropSummaries).bind(1, cutoff).bind(2, from.span).run();
    }
  }
  const HistoryTier& last = kHistoryTiers[tiers - 1];
  d.statement(d.dropSummaries, kDropSummaries).bind(1, now - last.keepFor).bind(2, last.span).run();
  d.statement(d.dropSightings, "DELETE FROM sightings WHERE time < ?1")
      .bind(1, now - last.keepFor)
      .run();
  d.foldedTo = first;
}

std::vector<HistoryPoint> History::points(const std::string& address, std::int64_t from,
                                          std::int64_t to) {
  Impl& d = *impl_;
  std::vector<HistoryPoint> points;
  try {
    const std::optional<std::int64_t> id = d.idOf(address);
    if (!id) return points;
    SqliteStatement s(d.db.handle(), R"sql(
SELECT time, 0, players, players, players, slots, m.name, ms, 1 FROM samples
  LEFT JOIN maps m ON m.id = map WHERE server = ?1 AND time BETWEEN ?2 AND ?3
UNION ALL
SELECT time, span, low, total, high, slots, m.name, -1, count FROM summaries
  LEFT JOIN maps m ON m.id = map WHERE server = ?1 AND time + span > ?2 AND time <= ?3
ORDER BY 1)sql");
    s.bind(1, *id).bind(2, from).bind(3, to);
    while (s.step()) {
      HistoryPoint p;
      p.time = s.integer(0);
      p.span = static_cast<int>(s.integer(1));
      p.low = static_cast<int>(s.integer(2));
      p.count = static_cast<int>(s.integer(8));
      p.mean = p.count > 0 ? static_cast<double>(s.integer(3)) / p.count : 0;
      p.high = static_cast<int>(s.integer(4));
      p.maxPlayers = static_cast<int>(s.integer(5));
      p.map = s.text(6);
      p.replyMs = static_cast<int>(s.integer(7));
      points.push_back(std::move(p));
    }
  } catch (const SqliteError& e) {
    throw HistoryError(d.path + ": " + e.what());
  }
  return points;
}

std::vector<LastSighting> History::sightings(const std::string& address) {
  Impl& d = *impl_;
  std::vector<LastSighting> seen;
  try {
    const std::optional<std::int64_t> id = d.idOf(address);
    if (!id) return seen;
    SqliteStatement s(
        d.db.handle(),
        "SELECT name, time FROM sightings WHERE server = ?1 ORDER BY time DESC, name");
    s.bind(1, *id);
    while (s.step()) seen.push_back({s.text(0), s.integer(1)});
  } catch (const SqliteError& e) {
    throw HistoryError(d.path + ": " + e.what());
  }
  return seen;
}

std::map<std::string, LastState> History::lastStates(const std::vector<std::string>& addresses) {
  Impl& d = *impl_;
  std::map<std::string, LastState> states;
  try {
    // The finest tier holds the latest time: the first that has one wins.
    SqliteStatement raw(d.db.handle(), R"sql(
SELECT time, players, slots, m.name, ms FROM samples LEFT JOIN maps m ON m.id = map
  WHERE server = ?1 ORDER BY time DESC LIMIT 1)sql");
    SqliteStatement summary(d.db.handle(), R"sql(
SELECT time, (total + count / 2) / count, slots, m.name, -1 FROM summaries
  LEFT JOIN maps m ON m.id = map WHERE server = ?1 AND span = ?2 ORDER BY time DESC LIMIT 1)sql");
    for (const std::string& address : addresses) {
      const std::optional<std::int64_t> id = d.idOf(address);
      if (!id) continue;
      SqliteStatement* found = nullptr;
      if (raw.bind(1, *id).step()) found = &raw;
      for (std::size_t i = 1; !found && i < std::size(kHistoryTiers); ++i)
        if (summary.bind(1, *id).bind(2, kHistoryTiers[i].span).step()) found = &summary;
      if (!found) continue;
      const Impl::Server& server = d.servers[address];
      LastState& state = states[address];
      state.time = found->integer(0);
      state.sample = {address,
                      server.name,
                      static_cast<int>(found->integer(1)),
                      static_cast<int>(found->integer(2)),
                      found->text(3),
                      server.edition,
                      static_cast<int>(found->integer(4))};
      found->reset();
    }
  } catch (const SqliteError& e) {
    throw HistoryError(d.path + ": " + e.what());
  }
  return states;
}

}  // namespace tarvix
