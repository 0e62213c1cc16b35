#pragma once
// "refresh from master servers" and "find LAN servers": finds servers off the
// UI thread and writes them as an ordinary server list ("Internet", "LAN"),
// which then becomes the current list. Which list it may replace is decided
// by app/core/FetchedLists.
#include <QObject>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "app/core/ScanView.h"
#include "app/core/ServerDiscovery.h"
#include "components/Background.h"

class QAction;
class QWidget;

namespace tarvix {

class Settings;

class ServerDiscoveryRefresh : public QObject {
  Q_OBJECT

 public:
  enum class Source { Internet, Lan };

  // Boxes open above `window`.
  ServerDiscoveryRefresh(Settings& settings, QWidget* window);
  ~ServerDiscoveryRefresh() override;

  // The two menu entries; while a search runs, its own entry stops it and
  // the other is disabled.
  QAction* internetAction() const { return internetAction_; }
  QAction* lanAction() const { return lanAction_; }

  // Starts a search; a second call while one runs stops it instead.
  void refresh(Source source);
  // Stops the running search; the servers that answered so far are saved
  // as the fetched list.
  void stop();
  bool running() const { return running_; }

  // The player added (quick add) or deleted the server `serverName` in the
  // current list: when a refresh wrote that list, says that the next refresh
  // replaces it, and offers to copy an added server to a list of their own.
  void noteListEdit(const std::string& serverName, bool added);

  // The name a fetch of `source` writes: the source's own name ("Internet",
  // "LAN") unless a list of the user's has it, then the first of "NAME 2",
  // "NAME 3", ... that is free or fetched; empty when none is.
  static std::string listNameFor(Source source);

 signals:
  // Progress and outcome for the status bar.
  void statusMessage(const QString& text);
  // Sources that failed, for a place the scan's progress does not overwrite;
  // empty when a search starts.
  void refreshNote(const QString& text);
  // A server answered the running search: its row, named as in the view.
  void serverFound(const QString& name, const tarvix::ScanRow& row);
  // The list about to be replaced is the current one: its scan must stop
  // before the file is written.
  void currentListReplacing();
  // The list was written and made current: it is shown and scanned.
  void listFetched(const QString& listName, const std::vector<std::string>& names);
  // A search ended: finished, failed or stopped.
  void finished();

 private:
  void finish(Source source, const DiscoveryResult& result);
  void showFound(const FoundServer& server);
  // Nothing found: says why; the last fetched list stays.
  void reportNoSource(Source source, const DiscoveryResult& result);
  // Writes the servers that answered as the fetched list and makes it
  // current; `prefix` leads the status text.
  void save(Source source, const DiscoveryResult& result, const QString& prefix);
  void setRunning(Source source, bool running);
  DiscoveryRequest requestFor(Source source) const;

  Settings& settings_;
  QPointer<QWidget> window_;
  QAction* internetAction_ = nullptr;
  QAction* lanAction_ = nullptr;
  BackgroundTask task_;
  bool running_ = false;
  Source source_ = Source::Internet;  // of the running search
  std::vector<FoundServer> found_;    // servers that answered the running search
  // Changes with every start and stop; progress of an older search is dropped.
  unsigned generation_ = 0;
};

}  // namespace tarvix
