#include "app/core/HeadlessScan.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/core/ScanAll.h"
#include "app/core/SortText.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

bool buddyBefore(const THeadlessBuddy& a, const THeadlessBuddy& b) {
  return compareListText(a.caption, b.caption) < 0;
}

bool rowBefore(const THeadlessRow& a, const THeadlessRow& b) {
  return compareSortText(a.caption, b.caption) < 0;
}

}  // namespace

THeadlessScanView::THeadlessScanView(const std::vector<std::string>& names,
                                     THeadlessScanSettings settings)
    : names_(static_cast<int>(names.size())), settings_(std::move(settings)) {
  for (const std::string& name : names) rows_.push_back({"not scanned", "", name, "", ScanIconNotScanned});
}

int THeadlessScanView::rowCount() {
  std::lock_guard lock(mu_);
  return static_cast<int>(rows_.size());
}

std::string THeadlessScanView::rowHost(int row) {
  std::lock_guard lock(mu_);
  return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].host : std::string();
}

int THeadlessScanView::serverNameCount() {
  std::lock_guard lock(mu_);
  return names_;
}

std::string THeadlessScanView::serverListPath() {
  std::lock_guard lock(mu_);
  return settings_.serverListPath;
}

int THeadlessScanView::scanTimeout() {
  std::lock_guard lock(mu_);
  return settings_.scanTimeout;
}

bool THeadlessScanView::clantagsOn() {
  std::lock_guard lock(mu_);
  return settings_.clantagsOn;
}

void THeadlessScanView::setClantagsOn(bool on) {
  std::lock_guard lock(mu_);
  settings_.clantagsOn = on;
}

void THeadlessScanView::setAutoSort(bool on) {
  std::lock_guard lock(mu_);
  ++changes_;
  autoSort_ = on;
}

void THeadlessScanView::clearBuddies() {
  std::lock_guard lock(mu_);
  ++changes_;
  buddies_.clear();
}

void THeadlessScanView::showProgress(int position) {
  std::lock_guard lock(mu_);
  ++changes_;
  progress_ = position;
  progressVisible_ = true;
}

void THeadlessScanView::stepProgress() {
  std::lock_guard lock(mu_);
  ++changes_;
  ++progress_;
}

void THeadlessScanView::hideProgress() {
  std::lock_guard lock(mu_);
  ++changes_;
  progressVisible_ = false;
}

void THeadlessScanView::setStatusText(const std::string& text) {
  std::lock_guard lock(mu_);
  ++changes_;
  status_ = text;
  statusHistory_.push_back(text);
}

void THeadlessScanView::setRow(int row, const TScanRow& texts) {
  std::lock_guard lock(mu_);
  ++changes_;
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[row] = {texts.caption, texts.map, texts.host, texts.game, texts.icon};
  if (autoSort_) std::stable_sort(rows_.begin(), rows_.end(), rowBefore);
}

void THeadlessScanView::makeRowVisible(int row) {
  std::lock_guard lock(mu_);
  ++changes_;
  visibleRow_ = row;
}

void THeadlessScanView::addBuddy(const std::string& caption, const std::string& server) {
  std::lock_guard lock(mu_);
  ++changes_;
  // The buddy view keeps itself sorted; an equal caption goes after its peers.
  THeadlessBuddy b{caption, server};
  buddies_.insert(std::upper_bound(buddies_.begin(), buddies_.end(), b, buddyBefore), b);
}

void THeadlessScanView::updateBuddyCaption() {
  std::lock_guard lock(mu_);
  ++changes_;
  buddyCaption_ = buddies_.empty() ? std::string("No Buddies online")
                                   : std::to_string(buddies_.size()) + " Buddies online";
}

void THeadlessScanView::sortPlayersAndBuddies() {
  std::lock_guard lock(mu_);
  ++changes_;
  std::stable_sort(buddies_.begin(), buddies_.end(), buddyBefore);
}

void THeadlessScanView::showFirstPlayedRow() {
  std::lock_guard lock(mu_);
  ++changes_;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (IsPlayedCaption(rows_[i].caption)) {
      visibleRow_ = static_cast<int>(i);
      break;
    }
}

void THeadlessScanView::finishPass() {
  std::lock_guard lock(mu_);
  ++changes_;
  progressVisible_ = false;
  autoSort_ = true;
  std::stable_sort(rows_.begin(), rows_.end(), rowBefore);
  visibleRow_ = rows_.empty() ? -1 : 0;
  status_ = std::to_string(rows_.size()) + " servers in " + settings_.serverListPath;
  statusHistory_.push_back(status_);
  finished_ = true;
}

std::vector<THeadlessRow> THeadlessScanView::rows() const {
  std::lock_guard lock(mu_);
  return rows_;
}

std::vector<THeadlessBuddy> THeadlessScanView::buddies() const {
  std::lock_guard lock(mu_);
  return buddies_;
}

std::string THeadlessScanView::statusText() const {
  std::lock_guard lock(mu_);
  return status_;
}

std::string THeadlessScanView::buddyCaption() const {
  std::lock_guard lock(mu_);
  return buddyCaption_;
}

int THeadlessScanView::progress() const {
  std::lock_guard lock(mu_);
  return progress_;
}

bool THeadlessScanView::progressVisible() const {
  std::lock_guard lock(mu_);
  return progressVisible_;
}

bool THeadlessScanView::autoSort() const {
  std::lock_guard lock(mu_);
  return autoSort_;
}

bool THeadlessScanView::finished() const {
  std::lock_guard lock(mu_);
  return finished_;
}

int THeadlessScanView::visibleRow() const {
  std::lock_guard lock(mu_);
  return visibleRow_;
}

int THeadlessScanView::changes() const {
  std::lock_guard lock(mu_);
  return changes_;
}

std::vector<std::string> THeadlessScanView::statusHistory() const {
  std::lock_guard lock(mu_);
  return statusHistory_;
}

int RunHeadlessScan(const THeadlessScanSettings& settings, std::ostream& out, std::ostream& err) {
  if (!fileExists(settings.serverListPath)) {
    err << "Please select a server list !\n";
    return 1;
  }
  std::vector<std::string> names;
  try {
    names = ReadServerNames(settings.serverListPath);
  } catch (const FileError& e) {
    err << e.what() << "\n";
    return 1;
  }

  auto view = std::make_shared<THeadlessScanView>(names, settings);
  TScanAll scan(view);
  scan.start();
  scan.join();

  for (const THeadlessRow& r : view->rows())
    out << r.caption << '\t' << r.map << '\t' << r.host << '\t' << r.game << '\n';
  for (const THeadlessBuddy& b : view->buddies())
    out << "buddy\t" << b.caption << '\t' << b.server << '\n';
  out << view->statusText() << '\n';
  out.flush();
  if (scan.end() != TScanAll::End::Completed) {
    err << "the scan ended early: the server list could not be read\n";
    return 1;
  }
  return 0;
}

}  // namespace tarvix
