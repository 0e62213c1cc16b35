// Worker control of the console: the anti-cheat worker and the announcer run
// their passes on threads of their own; the console implements their views.
#include "admin/AdminConsoleWorkers.h"

#include <QLabel>
#include <QMetaObject>
#include <QTimer>
#include <QTreeWidget>
#include <QVariant>

#include "admin/AdminConsole.h"
#include "admin/core/AntiCheatPass.h"
#include "admin/core/Announcer.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/ViewItems.h"
#include "base/ConsoleLogs.h"
#include "components/Clock.h"
#include "components/QtText.h"

namespace tarvix {

namespace {

constexpr const char* kBadTermination = "Anticheatthread bad termination";
constexpr int kIdRole = Qt::UserRole + 1;

// UI-thread state of one pass: once stopped, its posted changes are dropped.
struct RunState {
  bool stopped = false;
};

WorkerTiming consoleTiming() {
  WorkerTiming t;
  t.now = [] { return clock().now(); };
  t.scaled = [](int ms) { return clock().scaled(ms); };
  return t;
}

// Posts a change for the window to the UI thread; it runs there only while
// the pass that made it has not been stopped.
template <typename F>
void postChange(AdminConsole* form, const std::shared_ptr<RunState>& state, F change) {
  QMetaObject::invokeMethod(
      form,
      [form, state, change = std::move(change)] {
        if (!state->stopped) change(form);
      },
      Qt::QueuedConnection);
}

QTreeWidgetItem* rowWithId(AdminConsole* form, int id) {
  for (int i = 0; i < form->playerRowCount(); ++i) {
    QTreeWidgetItem* row = form->playerRow(i);
    if (row->data(0, kIdRole).toInt() == id) return row;
  }
  return nullptr;
}

// What a pass reads comes from thread-safe settings; every change is posted.
class ConsoleAntiCheatView : public AntiCheatView {
 public:
  ConsoleAntiCheatView(AdminConsole* form, std::shared_ptr<RunState> state)
      : form_(form), state_(std::move(state)), main_(forms().Form1) {}

  std::string rconPassword() override { return form_->rconPassword(); }
  bool detectSkins() override { return form_->DetectSkins(); }
  bool checkBans() override { return form_->CheckBans(); }
  int scanTimeout() override { return main_ ? main_->ScanTimeout.get() : 500; }

  void clearPlayers() override {
    postChange(form_, state_, [](AdminConsole* f) { f->ListView1->clear(); });
  }
  void addPlayer(int id, const ConsolePlayer& p) override {
    postChange(form_, state_, [id, p](AdminConsole* f) {
      auto* row = new TextItem(QStringList{toQString(p.name), toQString(p.ping),
                                            toQString(p.axisSkin), toQString(p.alliesSkin),
                                            toQString(p.rate), toQString(p.ip),
                                            toQString(p.score)});
      row->setData(0, kIdRole, id);
      row->setIcon(0, QIcon(":/buddy16.png"));
      f->ListView1->addTopLevelItem(row);
      f->ListView1->sortItems(0, Qt::AscendingOrder);
    });
  }
  void setPlayerText(int id, PlayerColumn column, const std::string& text) override {
    postChange(form_, state_, [id, column, text](AdminConsole* f) {
      if (QTreeWidgetItem* row = rowWithId(f, id)) row->setText(int(column), toQString(text));
    });
  }
  void addConsoleLine(const std::string& line) override {
    postChange(form_, state_, [line](AdminConsole* f) { f->addConsoleLine(toQString(line)); });
  }
  void finishPass() override {
    postChange(form_, state_, [](AdminConsole* f) { f->Button5Click(); });
  }

 private:
  AdminConsole* form_;
  std::shared_ptr<RunState> state_;
  MainWindow* main_;
};

class ConsoleAnnouncerView : public AnnouncerView {
 public:
  ConsoleAnnouncerView(AdminConsole* form, std::shared_ptr<RunState> state)
      : form_(form), state_(std::move(state)) {}

  std::string rconPassword() override { return form_->rconPassword(); }
  void setStatusText(const std::string& text) override {
    postChange(form_, state_, [text](AdminConsole* f) { f->setStatusText(toQString(text)); });
  }
  void finishPass() override {
    postChange(form_, state_, [](AdminConsole* f) { f->Button6Click(); });
  }

 private:
  AdminConsole* form_;
  std::shared_ptr<RunState> state_;
};

// One control for either worker kind. `Worker` is AntiCheatPass or Announcer.
template <typename Worker, typename View, typename Settings>
class Control : public WorkerControl {
 public:
  Control(AdminConsole* form, UdpClient* aim) : WorkerControl(form), aim_(aim) {}
  ~Control() override { stop(); }

  void start() override {
    stop();
    state_ = std::make_shared<RunState>();
    Settings settings;
    settings.host = aim_->host();
    settings.port = aim_->port();
    settings.timing = consoleTiming();
    worker_ = std::make_unique<Worker>(std::make_shared<View>(form_, state_), settings);
    worker_->start();
  }

  bool stop() override {
    if (!worker_) return false;
    std::unique_ptr<Worker> worker = std::move(worker_);
    state_->stopped = true;
    state_.reset();
    // A pass that ended without reaching its own stop cannot be stopped.
    const bool stoppable =
        worker->end() == Worker::End::Running || worker->end() == Worker::End::Completed;
    worker->stop();
    worker->join();
    return stoppable;
  }

  bool hasPass() const override { return static_cast<bool>(worker_); }

 private:
  UdpClient* aim_;
  std::shared_ptr<RunState> state_;
  std::unique_ptr<Worker> worker_;
};

}  // namespace

std::unique_ptr<WorkerControl> makeAntiCheatControl(AdminConsole* form) {
  return std::make_unique<Control<AntiCheatPass, ConsoleAntiCheatView, AntiCheatSettings>>(
      form, &form->IdUDPClient2);
}

std::unique_ptr<WorkerControl> makeChatterControl(AdminConsole* form) {
  return std::make_unique<Control<Announcer, ConsoleAnnouncerView, AnnouncerSettings>>(
      form, &form->IdUDPClient3);
}

void AdminConsole::setTimer1Interval(int ms) {
  Timer1Interval = ms;
  Timer1->setInterval(clock().scaled(ms));
}

void AdminConsole::setTimer2Interval(int ms) {
  Timer2Interval = ms;
  Timer2->setInterval(clock().scaled(ms));
}

void AdminConsole::startAntiCheat() {
  antiCheat_->start();
  AntiCheatRunning = true;
}

void AdminConsole::startChatter() {
  ChatterRunning = true;
  chatter_->start();
}

// "anticheatstop": run by each pass at its end and by the window's actions.
void AdminConsole::Button5Click() {
  if (!AntiCheatRunning) return;
  AntiCheatRunning = false;
  if (!antiCheat_->stop()) consoleLogs().append(LogKind::BadLog, kBadTermination);
}

// The announcer's stop.
void AdminConsole::Button6Click() {
  if (!ChatterRunning) return;
  ChatterRunning = false;
  if (!chatter_->stop()) consoleLogs().append(LogKind::BadLog, kBadTermination);
}

void AdminConsole::Timer1Timer() {
  if (!AntiCheatRunning) startAntiCheat();
}

void AdminConsole::Timer2Timer() {
  if (!ChatterRunning) startChatter();
}

void AdminConsole::stopWorkers() {
  antiCheat_->stop();
  chatter_->stop();
}

}  // namespace tarvix
