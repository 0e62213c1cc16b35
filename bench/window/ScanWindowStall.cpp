// How long the main window's thread is kept from its event loop while a scan
// pass updates the window: a timer ticks every 2 ms during the pass and the
// longest gap between ticks is the longest stall. The processor time the
// window's thread used within each gap is measured too: on a machine shared
// with other work, a gap also holds time the thread waited for a processor.
// Run in a data folder whose
// Config names the list to scan (bench/scan_farm.sh prepares one).
//
//   scan_window_stall [--parallel]
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/MainWindow.h"
#include "components/IniSettings.h"

int main(int argc, char** argv) {
  const bool parallel = argc > 1 && std::strcmp(argv[1], "--parallel") == 0;
  QApplication app(argc, argv);
  tarvix::IniSettings().setParallelScan(parallel);
  tarvix::Settings settings;
  tarvix::MainWindow window(settings);
  window.show();
  auto* scanNow = window.findChild<QToolButton*>("ToolButton3");
  auto* stopScan = window.findChild<QToolButton*>("ToolButton9");
  if (!scanNow || !stopScan) {
    std::fprintf(stderr, "the main window has no \"scan now\" or \"stop scan\" button\n");
    return 1;
  }

  auto threadCpuNs = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
  };
  std::vector<qint64> gaps;
  std::vector<qint64> busy;
  qint64 cpuBefore = 0;
  QElapsedTimer since;
  QElapsedTimer pass;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  probe.setInterval(2);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    gaps.push_back(since.nsecsElapsed());
    since.restart();
    const qint64 cpu = threadCpuNs();
    busy.push_back(cpu - cpuBefore);
    cpuBefore = cpu;
    // The pass has ended when "stop scan" is hidden again (after the final sort).
    if (!stopScan->isVisible()) {
      probe.stop();
      QApplication::quit();
    }
  });
  QTimer::singleShot(100, [&] {
    pass.start();
    scanNow->click();
    since.start();
    cpuBefore = threadCpuNs();
    probe.start();
  });
  app.exec();
  const double wallS = pass.nsecsElapsed() / 1e9;

  if (gaps.empty()) return 1;
  std::sort(gaps.begin(), gaps.end());
  std::sort(busy.begin(), busy.end());
  auto ms = [](const std::vector<qint64>& v, std::size_t at) { return v[at] / 1e6; };
  const std::size_t p99 = gaps.size() * 99 / 100;
  std::printf(
      "%s pass over %d rows: %.2f s; window thread: longest gap %.1f ms (99th percentile "
      "%.1f ms), longest processor time within a gap %.1f ms (99th percentile %.1f ms), "
      "%zu ticks\n",
      parallel ? "parallel" : "sequential",
      window.findChild<QTreeWidget*>("ListView3")->topLevelItemCount(), wallS,
      ms(gaps, gaps.size() - 1), ms(gaps, p99), ms(busy, busy.size() - 1), ms(busy, p99),
      gaps.size());
  return 0;
}
