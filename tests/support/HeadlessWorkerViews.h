#pragma once
// Headless stand-ins for the admin console as the anti-cheat worker and the
// announcer see it: settings set by the test, every change recorded in order.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "admin/core/Announcer.h"
#include "admin/core/AntiCheatPass.h"

namespace tarvix::test {

class HeadlessAntiCheatView : public AntiCheatView {
 public:
  std::atomic<bool> DetectSkins{false};
  std::atomic<bool> CheckBans{true};
  std::atomic<int> ScanTimeout{300};

  void setPassword(std::string password);

  std::string rconPassword() override;
  bool detectSkins() override { return DetectSkins; }
  bool checkBans() override { return CheckBans; }
  int scanTimeout() override { return ScanTimeout; }
  void clearPlayers() override;
  void addPlayer(int id, const ConsolePlayer& row) override;
  void setPlayerText(int id, PlayerColumn column, const std::string& text) override;
  void addConsoleLine(const std::string& line) override;
  void finishPass() override;

  // Rows in the list's order (alphabetical by name).
  std::vector<ConsolePlayer> rows() const;
  std::vector<std::string> consoleLines() const;
  // Every change as one text ("clear", "add NAME", "set ID COLUMN TEXT",
  // "line TEXT", "finish"), in the order made.
  std::vector<std::string> events() const;
  int finishCount() const;

 private:
  mutable std::mutex mu_;
  std::string password_;
  std::vector<std::pair<int, ConsolePlayer>> rows_;
  std::vector<std::string> lines_;
  std::vector<std::string> events_;
  int finished_ = 0;
};

class HeadlessAnnouncerView : public AnnouncerView {
 public:
  void setPassword(std::string password);

  std::string rconPassword() override;
  void setStatusText(const std::string& text) override;
  void finishPass() override;

  std::vector<std::string> statusTexts() const;
  int finishCount() const;

 private:
  mutable std::mutex mu_;
  std::string password_;
  std::vector<std::string> status_;
  int finished_ = 0;
};

}  // namespace tarvix::test
