#pragma once
// The admin console's four logs, kept for the whole run and never saved.
// Every entry is its text followed by CR LF. Safe to append from any thread.
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace tarvix {

enum class LogKind { ScanLog, MapLog, PlayerLog, BadLog };

class ConsoleLogs {
 public:
  void append(LogKind kind, std::string_view text);
  std::string text(LogKind kind) const;
  void clear(LogKind kind);

  // Hands every later entry (its text without the CR LF) to `sink` instead
  // of keeping it, one entry at a time; a process that runs for months would
  // otherwise keep every entry. An empty sink keeps entries again.
  using Sink = std::function<void(LogKind kind, std::string_view entry)>;
  void forwardTo(Sink sink);

 private:
  std::string& slot(LogKind kind);
  const std::string& slot(LogKind kind) const;
  mutable std::mutex mutex_;
  Sink sink_;
  std::string scanLog_, mapLog_, playerLog_, badLog_;
};

// The program-wide instance.
ConsoleLogs& consoleLogs();

}  // namespace tarvix
