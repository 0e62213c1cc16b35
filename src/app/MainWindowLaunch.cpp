// Connect: the game started on the current server, and the commands that
// open the options, quick add and direct connect windows.
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/core/GameLaunch.h"
#include "components/Dialogs.h"
#include "components/DoubleClickFilter.h"
#include "components/QtText.h"
#include "lists/QuickAddDialog.h"
#include "lists/DirectConnectDialog.h"
#include "lists/ServerPropertiesWindow.h"
#include "lists/OptionsWindow.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "base/Text.h"

namespace tarvix {

namespace {

bool fileAt(const std::string& path) {
  return !path.empty() && QFileInfo(toQString(path)).isFile();
}

}  // namespace

void MainWindow::connectLaunchHandlers() {
  connect(this, &MainWindow::DetailsShown, this, [this] {
    if (!connectAfterDetails_ || detailsQueryPending()) return;
    connectAfterDetails_ = false;
    ToolButton1Click();
  });
  connect(ToolButton1, &QToolButton::clicked, this, &MainWindow::ToolButton1Click);
  connect(connect1, &QAction::triggered, this, &MainWindow::ToolButton1Click);
  connect(Connectwithserver1, &QAction::triggered, this, &MainWindow::ToolButton1Click);
  onDoubleClick(ListView3, [this] { ToolButton1Click(); });
  for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)})
    new QShortcut(QKeySequence(key), ListView3, this, &MainWindow::ToolButton1Click,
                  Qt::WidgetShortcut);
  onDoubleClick(ListView1, [this] { ListView1DblClick(); });

  connect(ToolButton4, &QToolButton::clicked, this, &MainWindow::ToolButton4Click);
  connect(options2, &QAction::triggered, this, &MainWindow::ToolButton4Click);
  connect(ToolButton10, &QToolButton::clicked, this, &MainWindow::ToolButton10Click);
  connect(directconnect1, &QAction::triggered, this, &MainWindow::ToolButton10Click);
  connect(addserver1, &QAction::triggered, this, &MainWindow::addserver1Click);
}

void MainWindow::ToolButton4Click() { showWindow(forms().Form3); }

void MainWindow::ToolButton10Click() { showWindow(forms().Form17); }

void MainWindow::addserver1Click() {
  if (!Scanning) showWindow(forms().Form13);
}

void MainWindow::ListView1DblClick() {
  if (serverRowCount() > 0) ToolButton1Click();
}

void MainWindow::ToolButton1Click() {
  // A selection still waiting for its reply decides the edition: connect
  // runs once that reply is shown, as it would after a blocking query.
  if (detailsQueryPending()) {
    connectAfterDetails_ = true;
    return;
  }
  // After a connect no automatic scan pass starts again.
  Timer1->stop();
  if (forms().Form11 && forms().Form11->isVisible()) forms().Form11->close();
  const CurrentServer current = settings_.currentServer();
  if (current.empty()) {
    dialogs().showMessage("Please select a server !");
    return;
  }
  if (settings_.config().serverPassword.empty()) {
    try {
      const std::string found = lookupPasswords(current.ip, current.port).join;
      settings_.updateConfig([&](Config& c) { c.serverPassword = found; });
    } catch (const std::exception& e) {
      dialogs().showError(toQString(e.what()));
      return;
    }
  }
  // The Options window's field holds the password for the next connect; it
  // is empty until that window has been shown.
  auto optionsPassword = [] {
    return forms().Form3 ? toBytes(forms().Form3->passwordEdit->text()) : std::string();
  };
  const std::string edition = toBytes(Label4->text());
  const Config config = settings_.config();

  // Each edition the server shows, base game first: its executable starts,
  // or the options window opens to choose it.
  struct Game {
    const std::string& path;
    const char* exe;
    const char* edition;
    const char* startError;
    const char* missing;
  };
  const Game games[] = {
      {config.mohaaPath, "MOHAA.exe", "Medal", "Error starting MoHAA !", "Please select MoHAA.exe"},
      {config.spearheadPath, "moh_spearhead.exe", "Spearhead", "Error starting Spearhead !",
       "Please select Spearhed.exe !"},
  };
  for (const Game& game : games) {
    if (!containsNoCase(edition, game.edition)) continue;
    if (fileAt(game.path) && containsNoCase(game.path, game.exe)) {
      const std::string params = gameCommandLine(current.ip, current.port, config.playerName,
                                                 config.serverPassword);
      const std::string nextPassword = optionsPassword();
      settings_.updateConfig([&](Config& c) { c.serverPassword = nextPassword; });
      if (!runGame(game.path, params)) dialogs().showMessage(game.startError);
      return;
    }
    dialogs().showMessage(game.missing);
    showWindow(forms().Form3);
  }
}

bool MainWindow::runGame(const std::string& exePath, const std::string& params) {
  const std::string wine = findInPath("wine", qgetenv("PATH").toStdString());
  const std::optional<GameStart> plan = planGameStart(exePath, params, wine);
  if (!plan) return false;

  QProcess process;
  process.setProgram(toQString(plan->program));
  QStringList arguments;
  for (const std::string& a : plan->arguments) arguments << toQString(a);
  process.setArguments(arguments);
  process.setWorkingDirectory(toQString(plan->workingFolder));
  // Detached, so the game goes on when this program ends.
  qint64 pid = 0;
  if (!process.startDetached(&pid)) return false;

  // Wait for its end with every window working; a quitting program ends
  // every event loop, this one included.
  ProcessWatch watch(pid);
  ++gamesRunning_;
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(100);
  connect(&poll, &QTimer::timeout, &loop, [&] {
    if (watch.ended()) loop.quit();
  });
  poll.start();
  if (!watch.ended()) loop.exec();
  --gamesRunning_;
  return true;
}

}  // namespace tarvix
