#pragma once
// What a scan pass reads from and changes in the main window. The window
// implements it by posting every change to its own thread; the headless mode
// and the tests implement it over plain data.
#include <string>
#include <vector>

#include "app/core/ServerRow.h"

namespace tarvix {

class ScanView {
 public:
  virtual ~ScanView() = default;

  // Read at the moment the pass needs them; called on the pass's thread.
  virtual int rowCount() = 0;
  virtual std::string rowHost(int row) = 0;  // the row's "Host" sub-item
  virtual int serverNameCount() = 0;
  virtual std::string serverListPath() = 0;
  virtual int scanTimeout() = 0;
  virtual bool clantagsOn() = 0;
  // Whether rows carry the reply's bytes (ScanRow::reply): the window shows
  // players and records history from them; a headless run may not need them.
  virtual bool keepsReplies() { return true; }

  // Changes, in the order the pass makes them.
  virtual void setAutoSort(bool on) = 0;
  virtual void clearBuddies() = 0;
  virtual void showProgress(int position) = 0;
  virtual void stepProgress() = 0;
  virtual void hideProgress() = 0;
  virtual void setStatusText(const std::string& text) = 0;
  virtual void setRow(int row, ScanRow texts) = 0;
  virtual void makeRowVisible(int row) = 0;
  // The buddy view rows of one server's players, in the order they came.
  virtual void addBuddies(const std::vector<std::string>& captions, const std::string& server) = 0;
  virtual void updateBuddyCaption() = 0;
  // Sorts the player view and the buddy view by caption.
  virtual void sortPlayersAndBuddies() = 0;
  // Makes visible the first row whose caption starts with a digit 1-9.
  virtual void showFirstPlayedRow() = 0;
  // The stop at the end of the pass: back to idle, server view sorted, first
  // row visible, status "n servers in path".
  virtual void finishPass() = 0;
};

// A caption of a row with at least one player that is not full.
inline bool isPlayedCaption(const std::string& caption) {
  return !caption.empty() && caption[0] >= '1' && caption[0] <= '9';
}

}  // namespace tarvix
