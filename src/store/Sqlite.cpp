#include "store/Sqlite.h"

namespace tarvix {

void checkSqlite(sqlite3* db, int code) {
  if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE) return;
  throw SqliteError(code, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
  checkSqlite(db_, sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
  checkSqlite(db_, sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
  checkSqlite(db_, sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT));
  return *this;
}

bool SqliteStatement::step() {
  const int code = sqlite3_step(stmt_);
  if (code == SQLITE_ROW) return true;
  sqlite3_reset(stmt_);
  checkSqlite(db_, code);
  return false;
}

void SqliteStatement::run() {
  while (step()) {
  }
}

void SqliteStatement::reset() { sqlite3_reset(stmt_); }

std::int64_t SqliteStatement::integer(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

std::string SqliteStatement::text(int column) const {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
  return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
               : std::string();
}

SqliteDatabase::SqliteDatabase(const std::string& path, int flags) {
  const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (code != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw SqliteError(code, message);
  }
  sqlite3_extended_result_codes(db_, 1);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(db_); }

void SqliteDatabase::execute(std::string_view sql) {
  char* error = nullptr;
  const std::string text(sql);
  const int code = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
  if (code != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errstr(code);
    sqlite3_free(error);
    throw SqliteError(code, message);
  }
}

std::int64_t SqliteDatabase::integer(std::string_view sql) {
  SqliteStatement s(db_, sql);
  return s.step() ? s.integer(0) : 0;
}

std::string SqliteDatabase::text(std::string_view sql) {
  SqliteStatement s(db_, sql);
  if (!s.step()) return {};
  std::string value = s.text(0);
  s.reset();
  return value;
}

}  // namespace tarvix
