#include "app/core/HeadlessScan.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/core/ListStatus.h"
#include "app/core/ScanPass.h"
#include "app/core/TerminalText.h"
#include "base/SortText.h"
#include "base/Text.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace {

bool buddyBefore(const HeadlessBuddy& a, const HeadlessBuddy& b) {
  return compareListText(a.caption, b.caption) < 0;
}

bool rowBefore(const HeadlessRow& a, const HeadlessRow& b) {
  return compareSortText(a.caption, b.caption) < 0;
}

}  // namespace

HeadlessScanView::HeadlessScanView(const std::vector<std::string>& names,
                                   HeadlessScanSettings settings)
    : names_(static_cast<int>(names.size())), settings_(std::move(settings)) {
  rows_.reserve(names.size());
  for (const std::string& name : names) {
    HeadlessRow row;
    row.caption = "not scanned";
    row.icon = RowNotScanned;
    row.host = name;
    rows_.push_back(std::move(row));
  }
}

int HeadlessScanView::rowCount() {
  std::lock_guard lock(mu_);
  return static_cast<int>(rows_.size());
}

std::string HeadlessScanView::rowHost(int row) {
  std::lock_guard lock(mu_);
  return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].host : std::string();
}

int HeadlessScanView::serverNameCount() {
  std::lock_guard lock(mu_);
  return names_;
}

std::string HeadlessScanView::serverListPath() {
  std::lock_guard lock(mu_);
  return settings_.serverListPath;
}

int HeadlessScanView::scanTimeout() {
  std::lock_guard lock(mu_);
  return settings_.scanTimeout;
}

bool HeadlessScanView::clantagsOn() {
  std::lock_guard lock(mu_);
  return settings_.clantagsOn;
}

bool HeadlessScanView::keepsReplies() {
  std::lock_guard lock(mu_);
  return settings_.keepReplies;
}

void HeadlessScanView::setClantagsOn(bool on) {
  std::lock_guard lock(mu_);
  settings_.clantagsOn = on;
}

void HeadlessScanView::setKeepStatusHistory(bool keep) {
  std::lock_guard lock(mu_);
  keepStatusHistory_ = keep;
}

void HeadlessScanView::setAutoSort(bool on) {
  std::lock_guard lock(mu_);
  ++changes_;
  autoSort_ = on;
}

void HeadlessScanView::clearBuddies() {
  std::lock_guard lock(mu_);
  ++changes_;
  buddies_.clear();
  buddiesSorted_ = true;
}

void HeadlessScanView::showProgress(int position) {
  std::lock_guard lock(mu_);
  ++changes_;
  progress_ = position;
  progressVisible_ = true;
}

void HeadlessScanView::stepProgress() {
  std::lock_guard lock(mu_);
  ++changes_;
  ++progress_;
}

void HeadlessScanView::hideProgress() {
  std::lock_guard lock(mu_);
  ++changes_;
  progressVisible_ = false;
}

void HeadlessScanView::setStatusText(const std::string& text) {
  std::lock_guard lock(mu_);
  ++changes_;
  status_ = text;
  if (keepStatusHistory_) statusHistory_.push_back(text);
}

void HeadlessScanView::setRow(int row, ScanRow texts) {
  std::lock_guard lock(mu_);
  ++changes_;
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[row] = std::move(texts);
  if (autoSort_) std::stable_sort(rows_.begin(), rows_.end(), rowBefore);
}

void HeadlessScanView::makeRowVisible(int row) {
  std::lock_guard lock(mu_);
  ++changes_;
  visibleRow_ = row;
}

void HeadlessScanView::addBuddies(const std::vector<std::string>& captions,
                                  const std::string& server) {
  std::lock_guard lock(mu_);
  ++changes_;
  // Sorted when read (a stable sort keeps equal captions in the order they
  // came, as the window's self-sorting buddy view does); a sorted insert
  // here moved the whole vector per hit.
  for (const std::string& caption : captions) buddies_.push_back({caption, server});
  buddiesSorted_ = buddiesSorted_ && captions.empty();
}

void HeadlessScanView::updateBuddyCaption() {
  std::lock_guard lock(mu_);
  ++changes_;
  buddyCaption_ = buddies_.empty() ? std::string("No Buddies online")
                                   : std::to_string(buddies_.size()) + " Buddies online";
}

void HeadlessScanView::sortPlayersAndBuddies() {
  std::lock_guard lock(mu_);
  ++changes_;
  std::stable_sort(buddies_.begin(), buddies_.end(), buddyBefore);
  buddiesSorted_ = true;
}

void HeadlessScanView::showFirstPlayedRow() {
  std::lock_guard lock(mu_);
  ++changes_;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (isPlayedCaption(rows_[i].caption)) {
      visibleRow_ = static_cast<int>(i);
      break;
    }
}

void HeadlessScanView::finishPass() {
  std::lock_guard lock(mu_);
  ++changes_;
  progressVisible_ = false;
  autoSort_ = true;
  std::stable_sort(rows_.begin(), rows_.end(), rowBefore);
  visibleRow_ = rows_.empty() ? -1 : 0;
  status_ = serversInListText(rows_.size(), settings_.serverListPath);
  if (keepStatusHistory_) statusHistory_.push_back(status_);
  finished_ = true;
}

std::vector<HeadlessRow> HeadlessScanView::rows() const {
  std::lock_guard lock(mu_);
  return rows_;
}

std::vector<HeadlessRow> HeadlessScanView::takeRows() {
  std::lock_guard lock(mu_);
  return std::move(rows_);
}

std::vector<HeadlessBuddy> HeadlessScanView::buddies() const {
  std::lock_guard lock(mu_);
  std::vector<HeadlessBuddy> sorted = buddies_;
  std::stable_sort(sorted.begin(), sorted.end(), buddyBefore);
  return sorted;
}

std::vector<HeadlessBuddy> HeadlessScanView::takeBuddies() {
  std::lock_guard lock(mu_);
  if (!buddiesSorted_) std::stable_sort(buddies_.begin(), buddies_.end(), buddyBefore);
  buddiesSorted_ = true;
  return std::move(buddies_);
}

std::string HeadlessScanView::statusText() const {
  std::lock_guard lock(mu_);
  return status_;
}

std::string HeadlessScanView::buddyCaption() const {
  std::lock_guard lock(mu_);
  return buddyCaption_;
}

int HeadlessScanView::progress() const {
  std::lock_guard lock(mu_);
  return progress_;
}

bool HeadlessScanView::progressVisible() const {
  std::lock_guard lock(mu_);
  return progressVisible_;
}

bool HeadlessScanView::autoSort() const {
  std::lock_guard lock(mu_);
  return autoSort_;
}

bool HeadlessScanView::finished() const {
  std::lock_guard lock(mu_);
  return finished_;
}

int HeadlessScanView::visibleRow() const {
  std::lock_guard lock(mu_);
  return visibleRow_;
}

int HeadlessScanView::changes() const {
  std::lock_guard lock(mu_);
  return changes_;
}

std::vector<std::string> HeadlessScanView::statusHistory() const {
  std::lock_guard lock(mu_);
  return statusHistory_;
}

ScanOutcome runScanPass(const HeadlessScanSettings& settings) {
  ScanOutcome outcome;
  outcome.listPath = settings.serverListPath;
  if (!fileExists(settings.serverListPath)) {
    outcome.exitCode = 1;
    outcome.error = "Please select a server list !";
    return outcome;
  }
  std::vector<std::string> names;
  try {
    names = readServerNames(settings.serverListPath);
  } catch (const FileError& e) {
    outcome.exitCode = 1;
    outcome.error = e.what();
    return outcome;
  }

  auto view = std::make_shared<HeadlessScanView>(names, settings);
  view->setKeepStatusHistory(false);
  std::vector<std::string>().swap(names);
  ScanPass scan(view, settings.parallelQueries, settings.retries);
  scan.start();
  scan.join();

  outcome.ran = true;
  outcome.rows = view->takeRows();
  outcome.buddies = view->takeBuddies();
  outcome.status = view->statusText();
  if (scan.end() != ScanPass::End::Completed) {
    outcome.exitCode = 1;
    outcome.error = "the scan ended early: the server list could not be read";
  }
  return outcome;
}

int printScan(const ScanOutcome& scan, std::ostream& out, std::ostream& err) {
  if (!scan.ran) {
    err << terminalText(scan.error) << "\n";
    return scan.exitCode;
  }
  // Server text is shown with control bytes escaped: one row, one line.
  for (const HeadlessRow& r : scan.rows)
    out << terminalText(r.caption) << '\t' << terminalText(r.map) << '\t' << terminalText(r.host)
        << '\t' << terminalText(r.game) << '\n';
  for (const HeadlessBuddy& b : scan.buddies)
    out << "buddy\t" << terminalText(b.caption) << '\t' << terminalText(b.server) << '\n';
  out << terminalText(scan.status) << '\n';
  out.flush();
  if (scan.exitCode != 0) err << terminalText(scan.error) << "\n";
  return scan.exitCode;
}

int runHeadlessScan(const HeadlessScanSettings& settings, std::ostream& out, std::ostream& err) {
  return printScan(runScanPass(settings), out, err);
}

}  // namespace tarvix
