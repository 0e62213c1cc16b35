#include "support/HeadlessWorkerViews.h"

#include <algorithm>
#include <utility>

#include "base/SortText.h"

namespace tarvix::test {

void HeadlessAntiCheatView::setPassword(std::string password) {
  std::lock_guard lock(mu_);
  password_ = std::move(password);
}

std::string HeadlessAntiCheatView::rconPassword() {
  std::lock_guard lock(mu_);
  return password_;
}

void HeadlessAntiCheatView::clearPlayers() {
  std::lock_guard lock(mu_);
  rows_.clear();
  events_.push_back("clear");
}

void HeadlessAntiCheatView::addPlayer(int id, const ConsolePlayer& row) {
  std::lock_guard lock(mu_);
  auto at = std::upper_bound(rows_.begin(), rows_.end(), row.name,
                             [](const std::string& name, const auto& r) {
                               return compareListText(name, r.second.name) < 0;
                             });
  rows_.insert(at, {id, row});
  events_.push_back("add " + row.name);
}

void HeadlessAntiCheatView::setPlayerText(int id, PlayerColumn column, const std::string& text) {
  std::lock_guard lock(mu_);
  events_.push_back("set " + std::to_string(id) + " " + std::to_string(int(column)) + " " + text);
  for (auto& [rowId, p] : rows_) {
    if (rowId != id) continue;
    switch (column) {
      case PlayerColumn::Name:
        p.name = text;
        break;
      case PlayerColumn::Ping:
        p.ping = text;
        break;
      case PlayerColumn::AxisSkin:
        p.axisSkin = text;
        break;
      case PlayerColumn::AlliesSkin:
        p.alliesSkin = text;
        break;
      case PlayerColumn::Rate:
        p.rate = text;
        break;
      case PlayerColumn::IP:
        p.ip = text;
        break;
      case PlayerColumn::Score:
        p.score = text;
        break;
    }
  }
}

void HeadlessAntiCheatView::addConsoleLine(const std::string& line) {
  std::lock_guard lock(mu_);
  lines_.push_back(line);
  events_.push_back("line " + line);
}

void HeadlessAntiCheatView::finishPass() {
  std::lock_guard lock(mu_);
  ++finished_;
  events_.push_back("finish");
}

std::vector<ConsolePlayer> HeadlessAntiCheatView::rows() const {
  std::lock_guard lock(mu_);
  std::vector<ConsolePlayer> out;
  for (const auto& r : rows_) out.push_back(r.second);
  return out;
}

std::vector<std::string> HeadlessAntiCheatView::consoleLines() const {
  std::lock_guard lock(mu_);
  return lines_;
}

std::vector<std::string> HeadlessAntiCheatView::events() const {
  std::lock_guard lock(mu_);
  return events_;
}

int HeadlessAntiCheatView::finishCount() const {
  std::lock_guard lock(mu_);
  return finished_;
}

void HeadlessAnnouncerView::setPassword(std::string password) {
  std::lock_guard lock(mu_);
  password_ = std::move(password);
}

std::string HeadlessAnnouncerView::rconPassword() {
  std::lock_guard lock(mu_);
  return password_;
}

void HeadlessAnnouncerView::setStatusText(const std::string& text) {
  std::lock_guard lock(mu_);
  status_.push_back(text);
}

void HeadlessAnnouncerView::finishPass() {
  std::lock_guard lock(mu_);
  ++finished_;
}

std::vector<std::string> HeadlessAnnouncerView::statusTexts() const {
  std::lock_guard lock(mu_);
  return status_;
}

int HeadlessAnnouncerView::finishCount() const {
  std::lock_guard lock(mu_);
  return finished_;
}

}  // namespace tarvix::test
