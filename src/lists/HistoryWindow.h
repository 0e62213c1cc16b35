#pragma once
// A server's history: its players over the last day, week or month with the
// most seen, the busy hours of the week, the maps it ran and when each buddy
// or clan member was last seen there; "no history yet" before the first
// recorded scan. Read from the history off the UI thread.
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/Background.h"
#include "store/History.h"

namespace tarvix {

class HistoryWindow : public QWidget {
  Q_OBJECT

 public:
  // `path`: the history file (the data folder's unless a test names one).
  explicit HistoryWindow(std::string path = kHistoryFile, QWidget* parent = nullptr);
  ~HistoryWindow() override;

  // Shows the window for the server at `address` ("ip:port") named `name`
  // and reads its history.
  void showServer(const std::string& address, const std::string& name);

 signals:
  // The server's history was read and shown.
  void historyShown();

 private:
  struct Ui;
  // What one reading of the history found.
  struct Read;
  void showRead(const Read& read);
  void showPeriod();

  std::string path_;
  std::unique_ptr<Ui> ui_;
  std::unique_ptr<Read> shown_;
  BackgroundTask reading_;
};

}  // namespace tarvix
