// "scan now" and "stop scan": the scan pass runs on its own thread; every
// change it makes reaches the window through the UI thread's event queue.
#include <QAbstractItemModel>
#include <QComboBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/core/HistoryPasses.h"
#include "app/core/ScanPass.h"
#include "base/ConsoleLogs.h"
#include "components/ChangeBatcher.h"
#include "components/Clock.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "components/ViewItems.h"
#include "store/HistoryRecorder.h"

namespace tarvix {

namespace {

// What the pass reads from the window, kept current by the UI thread.
struct ScanSnapshot {
  std::mutex mu;
  std::vector<std::string> hosts;  // "Host" sub-item of each row, in view order
  int names = 0;                   // entries of the hidden server-name list
};

}  // namespace

// The pass's view of the main window. Reads come from the snapshot and the
// thread-safe settings; changes are posted to the UI thread in order. The
// pass's own stop decides what reaches the window: its thread makes no
// change once stopped (the pass's guard), and a change it posted earlier
// that has not run yet is dropped on the UI thread (post() below).
class MainWindow::PassView : public ScanView {
 public:
  // `history`, when given, gets the pass's rows and hits at its end.
  PassView(MainWindow* form, std::shared_ptr<HistoryRecorder> history)
      : window_(form),
        settings_(form->settings_),
        snap_(std::make_shared<ScanSnapshot>()),
        history_(std::move(history)) {
    refreshHosts(form, *snap_);
    refreshNames(form, *snap_);
    auto snap = snap_;
    QAbstractItemModel* rows = form->ui_->serverView->model();
    auto allHosts = [form, snap] { refreshHosts(form, *snap); };
    connections_.push_back(
        QObject::connect(rows, &QAbstractItemModel::dataChanged, form,
                         [form, snap](const QModelIndex& from, const QModelIndex& to) {
                           std::lock_guard lock(snap->mu);
                           for (int r = from.row(); r <= to.row(); ++r) {
                             QTreeWidgetItem* row = form->serverRow(r);
                             if (row && r < static_cast<int>(snap->hosts.size()))
                               snap->hosts[r] = toBytes(row->text(2));
                           }
                         }));
    connections_.push_back(
        QObject::connect(rows, &QAbstractItemModel::rowsInserted, form, allHosts));
    connections_.push_back(
        QObject::connect(rows, &QAbstractItemModel::rowsRemoved, form, allHosts));
    connections_.push_back(
        QObject::connect(rows, &QAbstractItemModel::layoutChanged, form, allHosts));
    connections_.push_back(QObject::connect(rows, &QAbstractItemModel::modelReset, form, allHosts));
    QAbstractItemModel* names = form->ui_->serverNameList->model();
    auto allNames = [form, snap] { refreshNames(form, *snap); };
    connections_.push_back(
        QObject::connect(names, &QAbstractItemModel::rowsInserted, form, allNames));
    connections_.push_back(
        QObject::connect(names, &QAbstractItemModel::rowsRemoved, form, allNames));
    connections_.push_back(
        QObject::connect(names, &QAbstractItemModel::modelReset, form, allNames));
  }

  // The pass whose changes these are; set before it starts.
  void setPass(std::weak_ptr<WorkerPass> pass) { pass_ = std::move(pass); }

  // Destroyed on the UI thread after the pass's thread has ended.
  ~PassView() override {
    for (const auto& c : connections_) QObject::disconnect(c);
  }

  int rowCount() override {
    std::lock_guard lock(snap_->mu);
    return static_cast<int>(snap_->hosts.size());
  }
  std::string rowHost(int row) override {
    std::lock_guard lock(snap_->mu);
    return row >= 0 && row < static_cast<int>(snap_->hosts.size()) ? snap_->hosts[row]
                                                                   : std::string();
  }
  int serverNameCount() override {
    std::lock_guard lock(snap_->mu);
    return snap_->names;
  }
  std::string serverListPath() override { return settings_.serverListPath(); }
  int scanTimeout() override { return settings_.scanTimeout(); }
  bool clantagsOn() override { return settings_.clantagsOn(); }

  void setAutoSort(bool on) override {
    post([on](MainWindow* f) { f->autoSort_ = on; });
  }
  void clearBuddies() override {
    post([](MainWindow* f) { f->ui_->buddyView->clear(); });
  }
  void showProgress(int position) override {
    progress_ = position;
    post([position](MainWindow* f) {
      f->ui_->scanProgress->setValue(position);
      f->ui_->scanProgress->setVisible(true);
    });
  }
  void stepProgress() override {
    // Counted here, so that only the latest position needs to reach the bar.
    const int position = ++progress_;
    post([position](MainWindow* f) { f->ui_->scanProgress->setValue(position); }, kProgressKey);
  }
  void hideProgress() override {
    post([](MainWindow* f) { f->ui_->scanProgress->setVisible(false); });
  }
  void setStatusText(const std::string& text) override {
    post([text](MainWindow* f) { f->setStatusText(toQString(text)); }, kStatusKey);
  }
  void setRow(int index, ScanRow texts) override {
    if (history_) recording_.addRow(texts);
    post([index, texts = std::move(texts)](MainWindow* f) {
      QTreeWidgetItem* row = f->serverRow(index);
      if (!row) return;
      row->setText(1, toQString(texts.map));
      row->setText(2, toQString(texts.host));
      row->setText(3, toQString(texts.game));
      keepRowPlayers(row, texts.reply);
      f->keepRowPing(row, texts.replyMs);
      f->forgetLastKnown(row);
      f->setRowIcon(row, texts.icon);
      f->setRowCaption(row, toQString(texts.caption));
    });
  }
  void makeRowVisible(int index) override {
    post(
        [index](MainWindow* f) {
          QTreeWidgetItem* row = f->serverRow(index);
          if (row && f->passScrollsView_) f->ui_->serverView->scrollToItem(row);
        },
        kScrollKey);
  }
  void addBuddies(const std::vector<std::string>& captions, const std::string& server) override {
    if (history_)
      for (const std::string& caption : captions) recording_.addHit(caption, server);
    post([captions, server](MainWindow* f) {
      QTreeWidget* view = f->ui_->buddyView;
      const QString serverText = toQString(server);
      for (const std::string& caption : captions) {
        // Put where the view's sort puts it (after equal captions), so the
        // sorted view need not move rows: thousands of hits stay cheap.
        auto* item = new TextItem(QStringList{toQString(caption), serverText});
        int low = 0;
        int high = view->topLevelItemCount();
        while (low < high) {
          const int mid = (low + high) / 2;
          if (*item < *view->topLevelItem(mid))
            high = mid;
          else
            low = mid + 1;
        }
        view->insertTopLevelItem(low, item);
      }
    });
  }
  void updateBuddyCaption() override {
    post([](MainWindow* f) { f->updateBuddyCaption(); }, kBuddyCaptionKey);
  }
  void sortPlayersAndBuddies() override {
    post([](MainWindow* f) {
      f->ui_->playerView->sortItems(0, Qt::AscendingOrder);
      // The hits were inserted in order; sorting thousands again would
      // hold up the window for nothing.
      QTreeWidget* buddies = f->ui_->buddyView;
      for (int i = 1; i < buddies->topLevelItemCount(); ++i) {
        if (*buddies->topLevelItem(i) < *buddies->topLevelItem(i - 1)) {
          buddies->sortItems(0, Qt::AscendingOrder);
          break;
        }
      }
    });
  }
  void showFirstPlayedRow() override {
    post([](MainWindow* f) {
      if (!f->passScrollsView_) return;
      for (int i = 0; i < f->serverRowCount(); ++i) {
        QTreeWidgetItem* row = f->serverRow(i);
        if (isPlayedCaption(toBytes(row->text(0)))) {
          f->ui_->serverView->scrollToItem(row);
          break;
        }
      }
    });
  }
  void finishPass() override {
    // Handed over here, on the pass's thread; written on the recorder's.
    if (history_) history_->record(recording_.finish(historyNow()));
    // The hits are read in a change of their own, before the stop sorts the
    // server view: with thousands of each, the window's loop runs in between.
    auto hits = std::make_shared<std::vector<HeadlessBuddy>>();
    post([hits](MainWindow* f) {
      const int n = f->ui_->buddyView->topLevelItemCount();
      hits->reserve(static_cast<std::size_t>(n));
      for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem* row = f->ui_->buddyView->topLevelItem(i);
        hits->push_back({toBytes(row->text(0)), toBytes(row->text(1))});
      }
    });
    post([hits](MainWindow* f) {
      f->stopScan();
      emit f->scanPassFinished(*hits);
    });
  }

 private:
  static void refreshHosts(MainWindow* form, ScanSnapshot& snap) {
    std::vector<std::string> hosts;
    for (int i = 0; i < form->serverRowCount(); ++i)
      hosts.push_back(toBytes(form->serverRow(i)->text(2)));
    std::lock_guard lock(snap.mu);
    snap.hosts = std::move(hosts);
  }
  static void refreshNames(MainWindow* form, ScanSnapshot& snap) {
    const int n = form->serverNameCount();
    std::lock_guard lock(snap.mu);
    snap.names = n;
  }

  // Changes whose latest one alone matters; a pass over thousands of rows
  // would otherwise scroll and repaint the status bar for each of them.
  enum { kScrollKey = 1, kStatusKey, kBuddyCaptionKey, kProgressKey };

  template <typename F>
  void post(F change, int key = 0) {
    MainWindow* form = window_;
    batcher_.post(
        [form, pass = pass_, change = std::move(change)] {
          // Stopped, or stopped and gone: stop() and this run on the UI
          // thread, so nothing of a stopped pass slips in between.
          const std::shared_ptr<WorkerPass> owner = pass.lock();
          if (!owner || owner->stopped()) return;
          change(form);
        },
        key);
  }

  MainWindow* window_;
  int progress_ = 0;  // the pass's thread only
  ChangeBatcher batcher_{window_};
  // Read by the pass's thread; safe there.
  Settings& settings_;
  std::weak_ptr<WorkerPass> pass_;
  std::shared_ptr<ScanSnapshot> snap_;
  std::vector<QMetaObject::Connection> connections_;
  std::shared_ptr<HistoryRecorder> history_;
  PassRecording recording_;  // the pass's thread only
};

// "scan now"
void MainWindow::startScan() {
  // A list still loading is scanned once it is shown.
  if (scanning_ || listLoad_) return;
  autoSort_ = false;
  setToolButtonVisible(ui_->scanNowButton, false);
  setToolButtonVisible(ui_->stopScanButton, true);
  ui_->scanProgress->setRange(0, serverNameCount());
  ui_->scanProgress->setVisible(true);
  ui_->buddyView->clear();
  scanning_ = true;
  scannedThisSession_ = true;
  passScrollsView_ = true;
  stopScanPass();
  const IniSettings ini;
  const int parallel = ini.parallelScan() ? kDefaultParallelQueries : 0;
  auto view = std::make_shared<PassView>(this, ini.historyRecording() ? history_ : nullptr);
  scanPass_ = std::make_shared<ScanPass>(view, parallel, ini.scanRetries());
  view->setPass(scanPass_);
  scanPass_->start();
}

// "stop scan", and the end of a pass.
void MainWindow::stopScan() {
  if (!scanning_) return;
  scanning_ = false;
  ui_->scanProgress->setVisible(false);
  setToolButtonVisible(ui_->stopScanButton, false);
  setToolButtonVisible(ui_->scanNowButton, true);
  autoSort_ = true;
  sortServerView();
  applyDeferredSorts();
  // A view the user moved during the pass stays where it is.
  if (QTreeWidgetItem* first = serverRow(0); first && passScrollsView_)
    ui_->serverView->scrollToItem(first);
  showStatusNote(QString());
  showServerCount(serverRowCount());
  stopScanPass();
}

void MainWindow::watchUserView() {
  // Scroll bars report the user's scrolls (wheel, bar, drag) as actions; a
  // pass scrolls by setting their value, which reports none.
  auto userMoved = [this] {
    if (scanning_) passScrollsView_ = false;
  };
  QTreeWidget* view = ui_->serverView;
  connect(view->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, userMoved);
  connect(view->horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, userMoved);
  // Keys move the selection, and a click selects.
  connect(view, &QTreeWidget::itemSelectionChanged, this, userMoved);

  statusNoteTimer_ = new QTimer(this);
  statusNoteTimer_->setSingleShot(true);
  statusNoteTimer_->setInterval(clock().scaled(3000));
  connect(statusNoteTimer_, &QTimer::timeout, this, [this] { showStatusNote(QString()); });
}

void MainWindow::deferSortClick(int column) {
  deferredSortClicks_.push_back(column);
  showStatusNote("(sorted when the scan ends)");
}

void MainWindow::applyDeferredSorts() {
  // One by one, as if clicked now: each click reverses the order, and equal
  // rows keep the order the click before left them in.
  const std::vector<int> clicks = std::exchange(deferredSortClicks_, {});
  for (int column : clicks) sortServersBy(column);
}

void MainWindow::showStatusNote(const QString& note) {
  statusNote_ = note;
  setStatusText(statusBase_);
  if (note.isEmpty())
    statusNoteTimer_->stop();
  else
    statusNoteTimer_->start();
}

void MainWindow::stopScanPass() {
  if (!scanPass_) return;
  std::shared_ptr<ScanPass> scan = std::move(scanPass_);
  scanPass_.reset();
  scan->stop();
  if (!scan->join()) consoleLogs().append(LogKind::BadLog, kScanInterruptLog);
}

}  // namespace tarvix
