#include "app/WatchRunner.h"

#include <QTimer>
#include <algorithm>

#include "app/core/BuddyMatcher.h"
#include "components/Clock.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "lists/StatusFetch.h"
#include "protocol/StatusReply.h"
#include "store/DataFile.h"
#include "store/Settings.h"

namespace tarvix {

namespace {

struct Answer {
  std::string reply;
  std::vector<std::string> buddyHits;
};

// One query off the UI thread, and the buddies and clan members among the
// players it names (none when a name list cannot be read).
Answer ask(const WatchTarget& target, int timeoutMs, bool clantagsOn, const StopSignal& stop) {
  Answer a{fetchStatusReply(target.ip, target.port, timeoutMs, stop), {}};
  if (!scanAnswered(a.reply)) return a;
  try {
    BuddyMatcher matcher;
    matcher.refresh();
    for (const std::string& name : scanPlayerNames(a.reply))
      for (std::string& hit : matcher.hits(name, clantagsOn)) a.buddyHits.push_back(hit);
  } catch (const FileError&) {
  }
  return a;
}

QString minutesText(int seconds) {
  return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

}  // namespace

WatchRunner::WatchRunner(Settings& settings, QObject* parent)
    : QObject(parent),
      settings_(settings),
      planner_(WatchTiming{clock().scaled(15000), clock().scaled(2000), clock().scaled(1000)}) {
  clock_.start();
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &WatchRunner::askNext);
  waitingTimer_ = new QTimer(this);
  waitingTimer_->setInterval(clock().scaled(1000));
  connect(waitingTimer_, &QTimer::timeout, this, [this] {
    ++waitedSeconds_;
    showWaiting();
  });
  for (const std::string& line : IniSettings().watchLines())
    if (const std::optional<Watch> w = parseWatchLine(line)) planner_.add(*w, nowMs());
  schedule();
}

WatchRunner::~WatchRunner() { stop(); }

QStringList WatchRunner::watchTexts() const {
  QStringList texts;
  for (const Watch& w : planner_.watches()) texts << toQString(watchText(w));
  return texts;
}

void WatchRunner::addWatch(const Watch& watch) {
  if (!planner_.add(watch, nowMs())) return;
  store();
  emit watchesChanged();
  schedule();
}

void WatchRunner::removeWatch(int index) {
  if (index < 0 || index >= static_cast<int>(planner_.watches().size())) return;
  planner_.remove(static_cast<std::size_t>(index));
  store();
  emit watchesChanged();
}

bool WatchRunner::startJoin(const Watch& server) {
  joinMinutes_ = IniSettings().joinWaitMinutes();
  if (stopped_ ||
      !planner_.startJoin(server, nowMs(), clock().scaled(joinMinutes_ * 60000), joinMinutes_))
    return false;
  waitedSeconds_ = 0;
  waitingTimer_->start();
  showWaiting();
  schedule();
  return true;
}

void WatchRunner::cancelJoin() { handle(planner_.cancelJoin()); }

void WatchRunner::stop() {
  stopped_ = true;
  query_.cancel();
  timer_->stop();
  waitingTimer_->stop();
}

void WatchRunner::schedule() {
  if (stopped_ || asking_ || planner_.idle()) return;
  long long due = planner_.nextDueMs();
  if (planner_.join()) due = std::min(due, planner_.joinEndsMs());
  timer_->start(static_cast<int>(std::clamp(due - nowMs(), 0LL, 24LL * 3600 * 1000)));
}

void WatchRunner::askNext() {
  handle(planner_.tick(nowMs()));
  const std::optional<WatchTarget> target = planner_.next(nowMs());
  if (!target) return schedule();
  asking_ = true;
  const int timeoutMs = settings_.scanTimeout();
  const bool clantagsOn = settings_.config().clantagsOn;
  query_ = runInBackground(
      this,
      [target = *target, timeoutMs, clantagsOn](const StopSignal& stop) {
        return ask(target, timeoutMs, clantagsOn, stop);
      },
      [this, target = *target](const Answer& a) {
        asking_ = false;
        handle(planner_.answered(target, a.reply, a.buddyHits, nowMs()));
        schedule();
      });
}

void WatchRunner::handle(const std::vector<WatchEvent>& events) {
  for (const WatchEvent& e : events) {
    const QString server = toQString(e.server);
    const QString text = toQString(e.text);
    switch (e.kind) {
      case WatchEvent::Kind::Alert:
      case WatchEvent::Kind::Silent:
        emit alert(server, text);
        break;
      case WatchEvent::Kind::GaveUp:
        emit alert(server, text);
        [[fallthrough]];
      case WatchEvent::Kind::Cancelled:
      case WatchEvent::Kind::Join:
        waitingTimer_->stop();
        emit joinEnded(text);
        if (e.kind == WatchEvent::Kind::Join) emit joinDue(server);
        break;
    }
  }
}

void WatchRunner::showWaiting() {
  if (!planner_.join()) return;
  emit joinWaiting("waiting for a free slot on " + toQString(planner_.join()->server) + ": " +
                   minutesText(waitedSeconds_) + " of " + minutesText(joinMinutes_ * 60));
}

void WatchRunner::store() const {
  std::vector<std::string> lines;
  for (const Watch& w : planner_.watches()) lines.push_back(watchLine(w));
  IniSettings().setWatchLines(lines);
}

}  // namespace tarvix
