#include "app/core/ConsoleLogs.h"

namespace tarvix {

std::string& TConsoleLogs::slot(LogKind kind) {
  switch (kind) {
    case LogKind::ScanLog: return scanLog_;
    case LogKind::MapLog: return mapLog_;
    case LogKind::PlayerLog: return playerLog_;
    case LogKind::BadLog: break;
  }
  return badLog_;
}

const std::string& TConsoleLogs::slot(LogKind kind) const {
  return const_cast<TConsoleLogs*>(this)->slot(kind);
}

void TConsoleLogs::append(LogKind kind, std::string_view text) {
  std::lock_guard lock(mutex_);
  std::string& s = slot(kind);
  s.append(text);
  s.append("\r\n");
}

std::string TConsoleLogs::text(LogKind kind) const {
  std::lock_guard lock(mutex_);
  return slot(kind);
}

void TConsoleLogs::clear(LogKind kind) {
  std::lock_guard lock(mutex_);
  slot(kind).clear();
}

TConsoleLogs& consoleLogs() {
  static TConsoleLogs logs;
  return logs;
}

}  // namespace tarvix
