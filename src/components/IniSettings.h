#pragma once
// Settings the twelve lines of Config do not hold, in "tarvix.ini" beside it
// in the data folder (an INI file through QSettings): the opt-in buddy
// alerts, parallel scan and scan retries, the browser's opt-in looks, the
// file dialogs' folder, the hits of the last headless scan of each list, so
// that a script's next --scan can tell which hits are new, and server
// discovery (group "discovery"): the master servers, the games to fetch, the
// refresh at start, and which lists a refresh wrote.
#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/core/HeadlessScan.h"
#include "app/core/ServerDiscovery.h"
#include "app/core/ServerFilter.h"

namespace tarvix {

inline constexpr const char* kIniSettingsFile = "tarvix.ini";

class IniSettings {
 public:
  // A relative path is taken in the data folder (the current directory).
  explicit IniSettings(QString path = QString::fromLatin1(kIniSettingsFile));

  // Off unless the user turned it on.
  bool buddyAlerts() const;
  void setBuddyAlerts(bool on);
  // "scan servers in parallel" (Options): off unless the user turned it on.
  bool parallelScan() const;
  void setParallelScan(bool on);
  // Requests after the first to a silent server, in either scan: 0 unless
  // the user chose more, never more than kMaxScanRetries.
  int scanRetries() const;
  void setScanRetries(int retries);

  // "record history of scans" (Options): on unless the user turned it off.
  bool historyRecording() const;
  void setHistoryRecording(bool on);
  // "show last known results" (Options): off unless the user turned it on.
  bool lastKnownResults() const;
  void setLastKnownResults(bool on);

  // Where the file dialogs open: the folder of the last file chosen; empty
  // before the first.
  QString fileDialogFolder() const;
  void setFileDialogFolder(const QString& folder);

  // Opt-in looks of the main window, each off unless the user turned it on:
  // the filter bar above the server view, colour codes drawn as colours,
  // the "Ping" column, and the player column sorted by number.
  bool filterBar() const;
  void setFilterBar(bool on);
  bool colourCodes() const;
  void setColourCodes(bool on);
  bool pingColumn() const;
  void setPingColumn(bool on);
  bool numericPlayerSort() const;
  void setNumericPlayerSort(bool on);
  // The filter bar's ticks and text as the user left them; nothing hidden
  // until then.
  ServerFilter serverFilter() const;
  void setServerFilter(const ServerFilter& filter);

  // The buddy rows of the last completed headless pass over the list at
  // `listPath` ("Serverlists\Name"); none before the first.
  std::vector<HeadlessBuddy> lastScanHits(std::string_view listPath) const;
  void setLastScanHits(std::string_view listPath, const std::vector<HeadlessBuddy>& hits);

  // "HOST:PORT" lines; the known masters until the user saved a list (an
  // empty list stays empty: no internet list).
  std::vector<std::string> masterServers() const;
  void setMasterServers(const std::vector<std::string>& masters);
  // The masters that parse; lines that do not are skipped.
  std::vector<MasterAddress> masterAddresses() const;
  // Game names to fetch: "mohaa" and "mohaas" unless the user chose.
  std::vector<std::string> discoveryGames() const;
  void setDiscoveryGames(const std::vector<std::string>& games);
  // "refresh from master servers at start": off unless the user turned it on.
  bool refreshAtStart() const;
  void setRefreshAtStart(bool on);
  // Where "find LAN servers" sends its query; the broadcast address and the
  // game's query ports unless set (tests set loopback and their own port).
  std::string lanAddress() const;
  std::pair<int, int> lanPorts() const;
  // Names of the server lists a refresh wrote: only these may it replace.
  std::vector<std::string> fetchedLists() const;
  bool isFetchedList(std::string_view listName) const;
  void addFetchedList(std::string_view listName);
  // A digest of the bytes a refresh wrote to the list, so that a later
  // refresh can tell whether the user changed it since; empty when none is
  // recorded.
  QByteArray fetchedListDigest(std::string_view listName) const;
  void setFetchedListDigest(std::string_view listName, const QByteArray& digest);
  // The list was deleted, made or changed by the user (an import, a server
  // added): a refresh must leave whatever list of that name comes next alone.
  void forgetFetchedList(std::string_view listName);

  // The watches of "tell me when...", one line each (watchLine() in
  // app/core/WatchPlanner.h); none until the user set one.
  std::vector<std::string> watchLines() const;
  void setWatchLines(const std::vector<std::string>& lines);
  // How long "join when a slot frees" waits: 10 minutes unless the user chose.
  int joinWaitMinutes() const;
  void setJoinWaitMinutes(int minutes);
  // The opt-in "Country" column of the server view: off unless turned on.
  bool countryColumn() const;
  void setCountryColumn(bool on);

  // A window's last size, position and state (QWidget::saveGeometry) under
  // its objectName; empty until it was first closed.
  QByteArray windowGeometry(const QString& window) const;
  void setWindowGeometry(const QString& window, const QByteArray& geometry);

 private:
  bool flag(const char* key) const;
  void setFlag(const char* key, bool on);
  QString path_;
};

}  // namespace tarvix
