#pragma once
// Runs the watches and "join when a slot frees" while the program runs,
// shown or not: the planner (app/core/WatchPlanner) says which server to ask
// and when, one status query at a time goes through runInBackground, and
// what a reply means comes out as signals for the windows. The watches are
// kept in tarvix.ini.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "app/core/WatchPlanner.h"
#include "components/Background.h"

class QTimer;

namespace tarvix {

class Settings;

class WatchRunner : public QObject {
  Q_OBJECT

 public:
  // Reads the stored watches; the first query goes out at once.
  explicit WatchRunner(Settings& settings, QObject* parent = nullptr);
  ~WatchRunner() override;

  // Each watch as the watches window lists it.
  QStringList watchTexts() const;
  // Stored at once; a watch that is there already is not added twice.
  void addWatch(const Watch& watch);
  void removeWatch(int index);
  // False while another join waits.
  bool startJoin(const Watch& server);
  void cancelJoin();
  // Ends the query under way and every timer, for good.
  void stop();

 signals:
  // A watch fired, its server stopped answering, or a join gave up.
  void alert(const QString& server, const QString& text);
  // The joined server has room: start the game on it now.
  void joinDue(const QString& server);
  // "waiting for a free slot on Alpha: 0:42 of 10:00" while a join waits;
  // when it ends, what ended it.
  void joinWaiting(const QString& text);
  void joinEnded(const QString& text);
  void watchesChanged();

 private:
  long long nowMs() const { return clock_.elapsed(); }
  void schedule();
  void askNext();
  void handle(const std::vector<WatchEvent>& events);
  void showWaiting();
  void store() const;

  Settings& settings_;
  WatchPlanner planner_;
  QElapsedTimer clock_;
  QTimer* timer_ = nullptr;
  QTimer* waitingTimer_ = nullptr;
  BackgroundTask query_;
  bool asking_ = false;
  bool stopped_ = false;
  int waitedSeconds_ = 0;
  int joinMinutes_ = 0;
};

}  // namespace tarvix
