#include "HeadlessWorkerViews.h"

#include <algorithm>
#include <utility>

#include "app/core/SortText.h"

namespace tarvix::test {

void THeadlessAntiCheatView::setPassword(std::string password) {
  std::lock_guard lock(mu_);
  password_ = std::move(password);
}

std::string THeadlessAntiCheatView::rconPassword() {
  std::lock_guard lock(mu_);
  return password_;
}

void THeadlessAntiCheatView::clearPlayers() {
  std::lock_guard lock(mu_);
  rows_.clear();
  events_.push_back("clear");
}

void THeadlessAntiCheatView::addPlayer(int id, const TConsolePlayer& row) {
  std::lock_guard lock(mu_);
  auto at = std::upper_bound(rows_.begin(), rows_.end(), row.name,
                             [](const std::string& name, const auto& r) {
                               return compareListText(name, r.second.name) < 0;
                             });
  rows_.insert(at, {id, row});
  events_.push_back("add " + row.name);
}

void THeadlessAntiCheatView::setPlayerText(int id, TPlayerColumn column, const std::string& text) {
  std::lock_guard lock(mu_);
  events_.push_back("set " + std::to_string(id) + " " + std::to_string(int(column)) + " " + text);
  for (auto& [rowId, p] : rows_) {
    if (rowId != id) continue;
    switch (column) {
      case TPlayerColumn::Ping: p.ping = text; break;
      case TPlayerColumn::AxisSkin: p.axisSkin = text; break;
      case TPlayerColumn::AlliesSkin: p.alliesSkin = text; break;
      case TPlayerColumn::Rate: p.rate = text; break;
      case TPlayerColumn::IP: p.ip = text; break;
      case TPlayerColumn::Score: p.score = text; break;
    }
  }
}

void THeadlessAntiCheatView::addConsoleLine(const std::string& line) {
  std::lock_guard lock(mu_);
  lines_.push_back(line);
  events_.push_back("line " + line);
}

void THeadlessAntiCheatView::finishPass() {
  std::lock_guard lock(mu_);
  ++finished_;
  events_.push_back("finish");
}

std::vector<TConsolePlayer> THeadlessAntiCheatView::rows() const {
  std::lock_guard lock(mu_);
  std::vector<TConsolePlayer> out;
  for (const auto& r : rows_) out.push_back(r.second);
  return out;
}

std::vector<std::string> THeadlessAntiCheatView::consoleLines() const {
  std::lock_guard lock(mu_);
  return lines_;
}

std::vector<std::string> THeadlessAntiCheatView::events() const {
  std::lock_guard lock(mu_);
  return events_;
}

int THeadlessAntiCheatView::finishCount() const {
  std::lock_guard lock(mu_);
  return finished_;
}

void THeadlessChatterView::setPassword(std::string password) {
  std::lock_guard lock(mu_);
  password_ = std::move(password);
}

std::string THeadlessChatterView::rconPassword() {
  std::lock_guard lock(mu_);
  return password_;
}

void THeadlessChatterView::setStatusText(const std::string& text) {
  std::lock_guard lock(mu_);
  status_.push_back(text);
}

void THeadlessChatterView::finishPass() {
  std::lock_guard lock(mu_);
  ++finished_;
}

std::vector<std::string> THeadlessChatterView::statusTexts() const {
  std::lock_guard lock(mu_);
  return status_;
}

int THeadlessChatterView::finishCount() const {
  std::lock_guard lock(mu_);
  return finished_;
}

}  // namespace tarvix::test
