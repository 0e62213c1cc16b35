#pragma once
// A thin owner of an SQLite connection and its prepared statements, over
// the library's C interface. Every failure throws SqliteError with the
// library's message.
#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvix {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  // The primary result code (SQLITE_BUSY, SQLITE_FULL, SQLITE_NOTADB, ...).
  int code() const { return code_ & 0xff; }

 private:
  int code_;
};

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters count from 1; each bind returns the statement for chaining.
  SqliteStatement& bind(int index, std::int64_t value);
  SqliteStatement& bind(int index, std::string_view text);
  // One step: true while a row is there. Resets itself after the last row.
  bool step();
  // Steps to the end and resets, for statements without rows.
  void run();
  void reset();
  std::int64_t integer(int column) const;
  std::string text(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class SqliteDatabase {
 public:
  // Opens with `flags` (SQLITE_OPEN_*); throws SqliteError.
  SqliteDatabase(const std::string& path, int flags);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  sqlite3* handle() const { return db_; }
  // Runs statements without results.
  void execute(std::string_view sql);
  // The first column of the first row of a query, as an integer.
  std::int64_t integer(std::string_view sql);
  std::string text(std::string_view sql);

 private:
  sqlite3* db_ = nullptr;
};

// Throws SqliteError when `code` is not one of the `ok` codes.
void checkSqlite(sqlite3* db, int code);

}  // namespace tarvix
