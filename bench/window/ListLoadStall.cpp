// How long loading a server list keeps the main window's thread from its
// event loop: a list of N servers (10 000 unless given) is loaded as when
// the user picks it in Options, a timer ticks every 2 ms meanwhile, and the
// longest gap between ticks is the longest stall. Loading ends when the
// list's scan starts ("stop scan" shows); the scan is stopped there. The
// list is written to a temporary data folder; every address is 127.0.0.1.
//
//   list_load_stall [SERVERS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "store/Settings.h"
#include "support/TempDataDir.h"

int main(int argc, char** argv) {
  const int servers = argc > 1 ? std::atoi(argv[1]) : 10000;
  tarvix::test::TempDataDir dir;
  std::vector<std::string> list, names;
  for (int i = 0; i < servers; ++i) {
    names.push_back("^" + std::to_string(i % 10) + "Server " + std::to_string(i));
    list.insert(list.end(), {names.back(), "127.0.0.1", std::to_string(20000 + i % 40000)});
  }
  dir.writeInstallation({});
  dir.writeLines("Serverlists/Big", list);

  QApplication app(argc, argv);
  tarvix::Settings settings;
  tarvix::MainWindow window(settings);
  window.show();
  auto* stopScan = window.findChild<QToolButton*>("ToolButton9");
  if (!stopScan) return 1;
  settings.updateConfig([](tarvix::Config& c) { c.serverListPath = "Serverlists\\Big"; });

  std::vector<qint64> gaps;
  QElapsedTimer since, load;
  qint64 loadNs = 0;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  probe.setInterval(2);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    gaps.push_back(since.nsecsElapsed());
    since.restart();
    if (!window.scanRunning()) return;
    loadNs = load.nsecsElapsed();
    probe.stop();
    window.stopScan();
    QApplication::quit();
  });
  QTimer::singleShot(100, [&] {
    since.start();
    probe.start();
    load.start();
    window.clearServerList();
    window.loadServerList("Big", names);
  });
  app.exec();
  if (gaps.empty()) return 1;
  std::sort(gaps.begin(), gaps.end());
  std::printf("loading %d servers: %.3f s in all; window thread: longest gap %.1f ms, %zu ticks\n",
              window.findChild<QTreeWidget*>("ListView3")->topLevelItemCount(), loadNs / 1e9,
              gaps.back() / 1e6, gaps.size());
  return 0;
}
