#include "base/ConsoleLogs.h"

#include <utility>

namespace tarvix {

std::string& ConsoleLogs::slot(LogKind kind) {
  switch (kind) {
    case LogKind::ScanLog:
      return scanLog_;
    case LogKind::MapLog:
      return mapLog_;
    case LogKind::PlayerLog:
      return playerLog_;
    case LogKind::BadLog:
      break;
  }
  return badLog_;
}

const std::string& ConsoleLogs::slot(LogKind kind) const {
  return const_cast<ConsoleLogs*>(this)->slot(kind);
}

void ConsoleLogs::append(LogKind kind, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (sink_) {
    sink_(kind, text);
    return;
  }
  std::string& s = slot(kind);
  s.append(text);
  s.append("\r\n");
}

std::string ConsoleLogs::text(LogKind kind) const {
  std::lock_guard lock(mutex_);
  return slot(kind);
}

void ConsoleLogs::clear(LogKind kind) {
  std::lock_guard lock(mutex_);
  slot(kind).clear();
}

void ConsoleLogs::forwardTo(Sink sink) {
  std::lock_guard lock(mutex_);
  sink_ = std::move(sink);
}

ConsoleLogs& consoleLogs() {
  static ConsoleLogs logs;
  return logs;
}

}  // namespace tarvix
