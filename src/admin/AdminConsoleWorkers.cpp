// Worker control of the console: the anti-cheat worker and the announcer run
// their passes on threads of their own; the console implements their views.
#include "admin/AdminConsoleWorkers.h"

#include <QLabel>
#include <QMetaObject>
#include <QTimer>
#include <QTreeWidget>
#include <QVariant>

#include "admin/AdminConsoleUi.h"
#include "admin/core/Announcer.h"
#include "admin/core/AntiCheatPass.h"
#include "base/ConsoleLogs.h"
#include "components/Clock.h"
#include "components/QtText.h"
#include "components/ViewItems.h"

namespace tarvix {

namespace {

constexpr const char* kBadTermination = "Anticheatthread bad termination";

WorkerTiming consoleTiming() {
  WorkerTiming t;
  t.now = [] { return clock().now(); };
  t.scaled = [](int ms) { return clock().scaled(ms); };
  return t;
}

// Posts a change for the window to the UI thread; it runs there only while
// the pass that made it has not been stopped.
template <typename F>
void postChange(AdminConsole* console, const std::shared_ptr<PassState>& state, F change) {
  QMetaObject::invokeMethod(
      console,
      [console, state, change = std::move(change)] {
        if (!state->stopped) change(console);
      },
      Qt::QueuedConnection);
}

// What a pass reads comes from thread-safe settings; every change is posted.
class ConsoleAntiCheatView : public AntiCheatView {
 public:
  ConsoleAntiCheatView(AdminConsole* console, std::shared_ptr<PassState> state)
      : window_(console), state_(std::move(state)) {}

  std::string rconPassword() override { return window_->rconPassword(); }
  bool detectSkins() override { return window_->detectSkins(); }
  bool checkBans() override { return window_->checkBans(); }
  int scanTimeout() override { return window_->scanTimeout(); }

  void clearPlayers() override {
    postChange(window_, state_, [](AdminConsole* c) { c->clearPlayers(); });
  }
  void addPlayer(int id, const ConsolePlayer& p) override {
    postChange(window_, state_, [id, p](AdminConsole* c) { c->addPlayer(id, p); });
  }
  void setPlayerText(int id, PlayerColumn column, const std::string& text) override {
    postChange(window_, state_,
               [id, column, text](AdminConsole* c) { c->setPlayerText(id, column, text); });
  }
  void addConsoleLine(const std::string& line) override {
    postChange(window_, state_, [line](AdminConsole* c) { c->addConsoleLine(toQString(line)); });
  }
  void finishPass() override {
    postChange(window_, state_, [](AdminConsole* c) { c->stopAntiCheat(); });
  }

 private:
  AdminConsole* window_;
  std::shared_ptr<PassState> state_;
};

class ConsoleAnnouncerView : public AnnouncerView {
 public:
  ConsoleAnnouncerView(AdminConsole* console, std::shared_ptr<PassState> state)
      : window_(console), state_(std::move(state)) {}

  std::string rconPassword() override { return window_->rconPassword(); }
  void setStatusText(const std::string& text) override {
    postChange(window_, state_, [text](AdminConsole* c) { c->setStatusText(toQString(text)); });
  }
  void finishPass() override {
    postChange(window_, state_, [](AdminConsole* c) { c->stopAnnouncer(); });
  }

 private:
  AdminConsole* window_;
  std::shared_ptr<PassState> state_;
};

ConsolePassSettings passSettings(const UdpClient& aim) {
  ConsolePassSettings settings;
  settings.host = aim.host();
  settings.port = aim.port();
  settings.timing = consoleTiming();
  return settings;
}

}  // namespace

void WorkerControl::start() {
  stopPass();
  state_ = std::make_shared<PassState>();
  pass_ = makePass_(state_);
  pass_->start();
  running_ = true;
}

void WorkerControl::startIfIdle() {
  if (!running_) start();
}

void WorkerControl::finish() {
  if (!running_) return;
  running_ = false;
  if (!stopPass()) consoleLogs().append(LogKind::BadLog, kBadTermination);
}

bool WorkerControl::stopPass() {
  if (!pass_) return false;
  std::unique_ptr<WorkerPass> pass = std::move(pass_);
  state_->stopped = true;
  state_.reset();
  // A pass that ended without reaching its own stop cannot be stopped.
  const bool stoppable = pass->end() == PassEnd::Running || pass->end() == PassEnd::Completed;
  pass->stop();
  pass->join();
  return stoppable;
}

std::unique_ptr<WorkerControl> makeAntiCheatControl(AdminConsole* console, const UdpClient& aim) {
  return std::make_unique<WorkerControl>([console, &aim](std::shared_ptr<PassState> state) {
    return std::make_unique<AntiCheatPass>(
        std::make_shared<ConsoleAntiCheatView>(console, std::move(state)), passSettings(aim));
  });
}

std::unique_ptr<WorkerControl> makeAnnouncerControl(AdminConsole* console, const UdpClient& aim) {
  return std::make_unique<WorkerControl>([console, &aim](std::shared_ptr<PassState> state) {
    return std::make_unique<Announcer>(
        std::make_shared<ConsoleAnnouncerView>(console, std::move(state)), passSettings(aim));
  });
}

void AdminConsole::setAntiCheatInterval(int ms) {
  antiCheatInterval_ = ms;
  ui_->antiCheatTimer->setInterval(clock().scaled(ms));
}

void AdminConsole::setAnnouncerInterval(int ms) {
  announcerInterval_ = ms;
  ui_->announcerTimer->setInterval(clock().scaled(ms));
}

bool AdminConsole::antiCheatRunning() const { return antiCheat_->running(); }

bool AdminConsole::announcerRunning() const { return announcer_->running(); }

void AdminConsole::stopAntiCheat() { antiCheat_->finish(); }

void AdminConsole::stopAnnouncer() { announcer_->finish(); }

void AdminConsole::stopWorkers() {
  antiCheat_->stopPass();
  announcer_->stopPass();
}

}  // namespace tarvix

namespace tarvix {

namespace {
constexpr int kIdRole = Qt::UserRole + 1;
}  // namespace

void AdminConsole::clearPlayers() { ui_->playerView->clear(); }

void AdminConsole::addPlayer(int id, const ConsolePlayer& p) {
  auto* row = new TextItem(QStringList{toQString(p.name), toQString(p.ping), toQString(p.axisSkin),
                                       toQString(p.alliesSkin), toQString(p.rate), toQString(p.ip),
                                       toQString(p.score)});
  row->setData(0, kIdRole, id);
  row->setIcon(0, QIcon(":/buddy16.png"));
  ui_->playerView->addTopLevelItem(row);
  ui_->playerView->sortItems(0, Qt::AscendingOrder);
}

QTreeWidgetItem* AdminConsole::playerWithId(int id) const {
  for (int i = 0; i < ui_->playerView->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = ui_->playerView->topLevelItem(i);
    if (row->data(0, kIdRole).toInt() == id) return row;
  }
  return nullptr;
}

void AdminConsole::setPlayerText(int id, PlayerColumn column, const std::string& text) {
  if (QTreeWidgetItem* row = playerWithId(id)) row->setText(int(column), toQString(text));
}

}  // namespace tarvix
