#pragma once
// The scan pass without a window: rows, buddy rows and texts held as plain
// data, in the order and with the sorting the main window would show.
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "app/core/ScanView.h"

namespace tarvix {

// A row as the pass wrote it (or "not scanned" with its state icon).
using HeadlessRow = ScanRow;

struct HeadlessBuddy {
  std::string caption;
  std::string server;
  bool operator==(const HeadlessBuddy&) const = default;
};

// Settings the pass reads, fixed for the pass.
struct HeadlessScanSettings {
  std::string serverListPath;
  int scanTimeout = 500;
  bool clantagsOn = false;
  int parallelQueries = 0;  // 0: one server at a time
  int retries = 0;          // requests after the first to a silent server
  bool keepReplies = true;  // rows carry the reply's bytes (JSON and history need them)
};

// Thread-safe: the pass writes from its thread, callers read snapshots.
class HeadlessScanView : public ScanView {
 public:
  // One "not scanned" row per name, in the given (file) order; the server
  // name count is the number of names.
  HeadlessScanView(const std::vector<std::string>& names, HeadlessScanSettings settings);

  int rowCount() override;
  std::string rowHost(int row) override;
  int serverNameCount() override;
  std::string serverListPath() override;
  int scanTimeout() override;
  bool clantagsOn() override;
  bool keepsReplies() override;

  void setAutoSort(bool on) override;
  void clearBuddies() override;
  void showProgress(int position) override;
  void stepProgress() override;
  void hideProgress() override;
  void setStatusText(const std::string& text) override;
  void setRow(int row, ScanRow texts) override;
  void makeRowVisible(int row) override;
  void addBuddies(const std::vector<std::string>& captions, const std::string& server) override;
  void updateBuddyCaption() override;
  void sortPlayersAndBuddies() override;
  void showFirstPlayedRow() override;
  void finishPass() override;

  void setClantagsOn(bool on);
  // Whether every status text is kept for statusHistory() (by default it is;
  // a headless run keeps only the last).
  void setKeepStatusHistory(bool keep);

  std::vector<HeadlessRow> rows() const;
  // The rows, moved out of the view.
  std::vector<HeadlessRow> takeRows();
  std::vector<HeadlessBuddy> buddies() const;
  // The buddy rows, sorted as buddies() gives them, moved out of the view.
  std::vector<HeadlessBuddy> takeBuddies();
  std::string statusText() const;
  std::string buddyCaption() const;
  int progress() const;
  bool progressVisible() const;
  bool autoSort() const;
  bool finished() const;
  // Row last made visible, -1 for none.
  int visibleRow() const;
  // Number of changes received (every call but the reads).
  int changes() const;
  // Status texts in the order they were set.
  std::vector<std::string> statusHistory() const;

 private:
  mutable std::mutex mu_;
  std::vector<HeadlessRow> rows_;
  std::vector<HeadlessBuddy> buddies_;
  bool buddiesSorted_ = true;  // no hit came since the last sort
  int names_ = 0;
  HeadlessScanSettings settings_;
  std::string status_;
  std::vector<std::string> statusHistory_;
  bool keepStatusHistory_ = true;
  std::string buddyCaption_ = "No Buddies online";
  int progress_ = 0;
  bool progressVisible_ = false;
  bool autoSort_ = true;
  bool finished_ = false;
  int visibleRow_ = -1;
  int changes_ = 0;
};

// What one headless pass leaves: rows and buddy rows in the window's order
// and the final status text. exitCode is 1 with `error` set when the list
// could not be read.
struct ScanOutcome {
  int exitCode = 0;
  std::string error;
  bool ran = false;  // false when the list could not be read before the pass
  std::string listPath;
  std::vector<HeadlessRow> rows;
  std::vector<HeadlessBuddy> buddies;
  std::string status;
};
ScanOutcome runScanPass(const HeadlessScanSettings& settings);

// Prints one line per row (caption, map, host, game, tab-separated), one
// line per buddy row ("buddy", caption, server), then the final status text.
// Returns the outcome's exit code.
int printScan(const ScanOutcome& scan, std::ostream& out, std::ostream& err);

// "--scan [LIST]": one pass over the list at listPath, printed as above.
int runHeadlessScan(const HeadlessScanSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace tarvix
