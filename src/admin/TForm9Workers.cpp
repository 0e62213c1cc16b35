// Worker control of the console: the anti-cheat worker and the announcer run
// their passes on threads of their own; the console implements their views.
#include "admin/TForm9Workers.h"

#include <QLabel>
#include <QMetaObject>
#include <QTimer>
#include <QTreeWidget>
#include <QVariant>

#include "admin/TForm9.h"
#include "admin/core/AntiCheat.h"
#include "admin/core/Chatter.h"
#include "app/Forms.h"
#include "app/TForm1.h"
#include "app/ViewItems.h"
#include "app/core/ConsoleLogs.h"
#include "components/Clock.h"
#include "components/QtText.h"

namespace tarvix {

namespace {

constexpr const char* kBadTermination = "Anticheatthread bad termination";
constexpr int kIdRole = Qt::UserRole + 1;

// UI-thread state of one pass: once stopped, its posted changes are dropped.
struct TRunState {
  bool stopped = false;
};

TWorkerTiming consoleTiming() {
  TWorkerTiming t;
  t.now = [] { return clock().now(); };
  t.scaled = [](int ms) { return clock().scaled(ms); };
  return t;
}

// Posts a change for the window to the UI thread; it runs there only while
// the pass that made it has not been stopped.
template <typename F>
void postChange(TForm9* form, const std::shared_ptr<TRunState>& state, F change) {
  QMetaObject::invokeMethod(
      form,
      [form, state, change = std::move(change)] {
        if (!state->stopped) change(form);
      },
      Qt::QueuedConnection);
}

QTreeWidgetItem* rowWithId(TForm9* form, int id) {
  for (int i = 0; i < form->playerRowCount(); ++i) {
    QTreeWidgetItem* row = form->playerRow(i);
    if (row->data(0, kIdRole).toInt() == id) return row;
  }
  return nullptr;
}

// What a pass reads comes from thread-safe settings; every change is posted.
class TConsoleAntiCheatView : public TAntiCheatView {
 public:
  TConsoleAntiCheatView(TForm9* form, std::shared_ptr<TRunState> state)
      : form_(form), state_(std::move(state)), main_(forms().Form1) {}

  std::string rconPassword() override { return form_->RconPassword(); }
  bool detectSkins() override { return form_->DetectSkins(); }
  bool checkBans() override { return form_->CheckBans(); }
  int scanTimeout() override { return main_ ? main_->ScanTimeout.get() : 500; }

  void clearPlayers() override {
    postChange(form_, state_, [](TForm9* f) { f->ListView1->clear(); });
  }
  void addPlayer(int id, const TConsolePlayer& p) override {
    postChange(form_, state_, [id, p](TForm9* f) {
      auto* row = new TTextItem(QStringList{toQString(p.name), toQString(p.ping),
                                            toQString(p.axisSkin), toQString(p.alliesSkin),
                                            toQString(p.rate), toQString(p.ip),
                                            toQString(p.score)});
      row->setData(0, kIdRole, id);
      row->setIcon(0, QIcon(":/buddy16.png"));
      f->ListView1->addTopLevelItem(row);
      f->ListView1->sortItems(0, Qt::AscendingOrder);
    });
  }
  void setPlayerText(int id, TPlayerColumn column, const std::string& text) override {
    postChange(form_, state_, [id, column, text](TForm9* f) {
      if (QTreeWidgetItem* row = rowWithId(f, id)) row->setText(int(column), toQString(text));
    });
  }
  void addConsoleLine(const std::string& line) override {
    postChange(form_, state_, [line](TForm9* f) { f->addConsoleLine(toQString(line)); });
  }
  void finishPass() override {
    postChange(form_, state_, [](TForm9* f) { f->Button5Click(); });
  }

 private:
  TForm9* form_;
  std::shared_ptr<TRunState> state_;
  TForm1* main_;
};

class TConsoleChatterView : public TChatterView {
 public:
  TConsoleChatterView(TForm9* form, std::shared_ptr<TRunState> state)
      : form_(form), state_(std::move(state)) {}

  std::string rconPassword() override { return form_->RconPassword(); }
  void setStatusText(const std::string& text) override {
    postChange(form_, state_, [text](TForm9* f) { f->setStatusText(toQString(text)); });
  }
  void finishPass() override {
    postChange(form_, state_, [](TForm9* f) { f->Button6Click(); });
  }

 private:
  TForm9* form_;
  std::shared_ptr<TRunState> state_;
};

// One control for either worker kind. `Worker` is TAntiCheat or TChatter.
template <typename Worker, typename View, typename Settings>
class TControl : public TWorkerControl {
 public:
  TControl(TForm9* form, UdpClient* aim) : TWorkerControl(form), aim_(aim) {}
  ~TControl() override { stop(); }

  void start() override {
    stop();
    state_ = std::make_shared<TRunState>();
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
  std::shared_ptr<TRunState> state_;
  std::unique_ptr<Worker> worker_;
};

}  // namespace

std::unique_ptr<TWorkerControl> MakeAntiCheatControl(TForm9* form) {
  return std::make_unique<TControl<TAntiCheat, TConsoleAntiCheatView, TAntiCheatSettings>>(
      form, &form->IdUDPClient2);
}

std::unique_ptr<TWorkerControl> MakeChatterControl(TForm9* form) {
  return std::make_unique<TControl<TChatter, TConsoleChatterView, TChatterSettings>>(
      form, &form->IdUDPClient3);
}

void TForm9::setTimer1Interval(int ms) {
  Timer1Interval = ms;
  Timer1->setInterval(clock().scaled(ms));
}

void TForm9::setTimer2Interval(int ms) {
  Timer2Interval = ms;
  Timer2->setInterval(clock().scaled(ms));
}

void TForm9::startAntiCheat() {
  antiCheat_->start();
  AntiCheatRunning = true;
}

void TForm9::startChatter() {
  ChatterRunning = true;
  chatter_->start();
}

// "anticheatstop": run by each pass at its end and by the window's actions.
void TForm9::Button5Click() {
  if (!AntiCheatRunning) return;
  AntiCheatRunning = false;
  if (!antiCheat_->stop()) consoleLogs().append(LogKind::BadLog, kBadTermination);
}

// The announcer's stop.
void TForm9::Button6Click() {
  if (!ChatterRunning) return;
  ChatterRunning = false;
  if (!chatter_->stop()) consoleLogs().append(LogKind::BadLog, kBadTermination);
}

void TForm9::Timer1Timer() {
  if (!AntiCheatRunning) startAntiCheat();
}

void TForm9::Timer2Timer() {
  if (!ChatterRunning) startChatter();
}

void TForm9::stopWorkers() {
  antiCheat_->stop();
  chatter_->stop();
}

}  // namespace tarvix
