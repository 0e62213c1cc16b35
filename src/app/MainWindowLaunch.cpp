// Connect: the game started on the current server, and the commands that
// open the options, quick add and direct connect windows.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/core/GameLaunch.h"
#include "base/Text.h"
#include "components/Dialogs.h"
#include "components/DoubleClickFilter.h"
#include "components/QtText.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/Passwords.h"

namespace tarvix {

namespace {

// Said after "Error starting ..." when the game could not start for want of Wine.
const char* const kWineMissing =
    "Wine was not found: the game is a Windows program and needs Wine to run.";

bool fileAt(const std::string& path) {
  return !path.empty() && QFileInfo(toQString(path)).isFile();
}

}  // namespace

void MainWindow::wireLaunchHandlers() {
  connect(this, &MainWindow::detailsShown, this, [this](const ServerInfo&) {
    if (!connectAfterDetails_ || detailsQueryPending()) return;
    connectAfterDetails_ = false;
    connectToServer();
  });
  connect(ui_->connectButton, &QToolButton::clicked, this, &MainWindow::connectToServer);
  connect(ui_->connectAction, &QAction::triggered, this, &MainWindow::connectToServer);
  connect(ui_->connectWithServerAction, &QAction::triggered, this, &MainWindow::connectToServer);
  onDoubleClick(ui_->serverView, [this] { connectToServer(); });
  for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)})
    new QShortcut(QKeySequence(key), ui_->serverView, this, &MainWindow::connectToServer,
                  Qt::WidgetShortcut);
  onDoubleClick(ui_->playerView, [this] { connectFromPlayerView(); });

  connect(ui_->optionsButton, &QToolButton::clicked, this, &MainWindow::optionsRequested);
  connect(ui_->trayOptionsAction, &QAction::triggered, this, &MainWindow::optionsRequested);
  connect(ui_->directConnectButton, &QToolButton::clicked, this,
          &MainWindow::directConnectRequested);
  connect(ui_->directConnectAction, &QAction::triggered, this, &MainWindow::directConnectRequested);
  connect(ui_->addServerAction, &QAction::triggered, this, &MainWindow::showQuickAdd);
}

void MainWindow::showQuickAdd() {
  if (!scanning_) emit quickAddRequested();
}

void MainWindow::connectFromPlayerView() {
  if (serverRowCount() > 0) connectToServer();
}

void MainWindow::connectToServer() {
  // A selection still waiting for its reply decides the edition: connect
  // runs once that reply is shown, as it would after a blocking query.
  if (detailsQueryPending()) {
    connectAfterDetails_ = true;
    return;
  }
  // After a connect no automatic scan pass starts again.
  ui_->autoScanTimer->stop();
  emit connectStarted();
  const CurrentServer current = settings_.currentServer();
  if (current.empty()) {
    dialogs().showMessage(this, "Please select a server !");
    return;
  }
  if (settings_.config().serverPassword.empty()) {
    try {
      const std::string found = lookupPasswords(current.ip, current.port).join;
      settings_.updateConfig([&](Config& c) { c.serverPassword = found; });
    } catch (const std::exception& e) {
      dialogs().showError(this, errorText(e.what()));
      return;
    }
  }
  const std::string edition = toBytes(ui_->editionLabel->text());
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
      const std::string params =
          gameCommandLine(current.ip, current.port, config.playerName, config.serverPassword);
      const std::string nextPassword =
          nextConnectPassword_ ? nextConnectPassword_() : std::string();
      settings_.updateConfig([&](Config& c) { c.serverPassword = nextPassword; });
      bool wineMissing = false;
      if (!runGame(game.path, params, wineMissing))
        dialogs().showMessage(this, wineMissing ? QString(game.startError) + "\n" + kWineMissing
                                                : QString(game.startError));
      return;
    }
    dialogs().showMessage(this, game.missing);
    emit optionsRequested();
  }
}

bool MainWindow::runGame(const std::string& exePath, const std::string& params, bool& wineMissing) {
  const std::string wine = findInPath("wine", qgetenv("PATH").toStdString());
  const std::optional<GameStart> plan = planGameStart(exePath, params, wine);
  // Without a plan the game is a Windows program and no Wine is installed.
  wineMissing = !plan;
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

  // Its end is watched from this thread's event loop; the watch ends with
  // the window. (A QProcess that is not detached would end the game with
  // the program.)
  ++gamesRunning_;
  auto watch = std::make_shared<ProcessWatch>(pid);
  auto* poll = new QTimer(this);
  poll->setInterval(100);
  connect(poll, &QTimer::timeout, this, [this, poll, watch] {
    if (!watch->ended()) return;
    poll->stop();
    poll->deleteLater();
    --gamesRunning_;
  });
  poll->start();
  return true;
}

}  // namespace tarvix
