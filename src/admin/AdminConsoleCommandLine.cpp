// The console: its lines, the command line with its local commands, the
// typed lines' rcon round trip, and the save items.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <condition_variable>
#include <mutex>

#include "admin/AdminConsoleUi.h"
#include "base/ConsoleLogs.h"
#include "base/Text.h"
#include "components/Background.h"
#include "components/Clock.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "protocol/Rcon.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/Passwords.h"
#include "store/Settings.h"

namespace tarvix {

namespace {

constexpr int kLineReplyTimeoutMs = 10000;
const char* const kNoResponse = "no response from server";
const char* const kHelpDashes = "-----------------------------------------------------------";

const char* const kHelp[] = {
    "ussage:",
    kHelpDashes,
    "debugit /ss   | display scanlog   | view  kick/scan history",
    "debugit /rs   | reset scanlog     | clear kick/scan history",
    "debugit /sm   | display maplog    | view  map history",
    "debugit /rm   | reset maplog      | clear map history",
    "debugit /sp   | display maplog    | view  player history",
    "debugit /rp   | reset maplog      | clear player history",
    "debugit /sv   | display variables | just for debuging !",
    "debugit /sb   | display badlog    | just for debuging !",
    "debugit /rb   | reset badlog      | just for debuging !",
    kHelpDashes,
};

QString onOff(bool on) { return on ? "on" : "off"; }
QString trueFalse(bool on) { return on ? "true" : "false"; }

}  // namespace

// A typed line whose reply is awaited in the background. The UI thread shows
// the outcome when it is delivered, or waits for it (`done`) when it needs
// the command client at once.
struct AdminConsole::PendingLine {
  BackgroundTask task;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;  // guarded by mutex
  UdpResult result;   // written before done
};

void AdminConsole::addConsoleLine(const QString& line) {
  if (lines_.isEmpty())
    ui_->consoleView->setPlainText(line);
  else
    ui_->consoleView->appendPlainText(line);
  lines_.append(line);
}

void AdminConsole::clearConsole() {
  lines_.clear();
  ui_->consoleView->clear();
}

QString AdminConsole::statusText() const { return ui_->statusPanel->text(); }

void AdminConsole::setStatusText(const QString& text) { ui_->statusPanel->setText(text); }

void AdminConsole::focusCommandLine() { ui_->commandLine->setFocus(); }

void AdminConsole::commandLineKey(int key) {
  if (pending_) return;  // the command line waits for its reply
  if (key == Qt::Key_Up) {
    ui_->commandLine->setText(toQString(lastCommand_));
  } else if (key == Qt::Key_Down) {
    ui_->commandLine->clear();
  } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    enterCommandLine();
  }
}

void AdminConsole::showLog(const char* title, const char* dashes, int kind) {
  clearConsole();
  addConsoleLine(title);
  addConsoleLine(dashes);
  for (const std::string& line : splitLines(consoleLogs().text(static_cast<LogKind>(kind))))
    addConsoleLine(toQString(line));
  ui_->commandLine->clear();
}

void AdminConsole::showVariables() {
  const ProgramStatus program = programStatus_ ? programStatus_() : ProgramStatus{};
  const int i1 = antiCheatInterval_;
  const int i2 = announcerInterval_;
  addConsoleLine("Tarvix Version: " + program.version);
  addConsoleLine("anticheatinterval: " + QString::number(i1) + " ms [" +
                 QString::number(i1 / 60000) + " min]");
  addConsoleLine(ui_->antiCheatTimer->isActive() ? "anticheattimer: on" : "anticheatimer: off");
  addConsoleLine("anticheatthread: " + trueFalse(antiCheatRunning()));
  addConsoleLine("messaginginterval: " + QString::number(i2) + " ms [" +
                 QString::number(i2 / 60000) + " min]");
  addConsoleLine("messagingtimer: " + onOff(ui_->announcerTimer->isActive()));
  addConsoleLine("messagingthread: " + trueFalse(announcerRunning()));
  addConsoleLine("check bans: " + onOff(ui_->checkBansCheckBox->isChecked()));
  addConsoleLine("autoscan: " + onOff(program.autoScanOn));
  addConsoleLine("scanthread: " + trueFalse(program.scanning));
  if (program.scanning) addConsoleLine("scanthreadid: " + QString::number(program.scanThreadId));
  const Config config = settings_.config();
  addConsoleLine("scanping: " + QString::number(config.scanTimeout));
  addConsoleLine("rconpassword: " + ui_->rconPasswordEdit->text());
  addConsoleLine("main password: " + toQString(config.serverPassword));
  addConsoleLine("serverlist: " + toQString(config.serverListPath));
}

// An entered line: local commands first, then (all but "debugit /sv") the
// line goes to the server and its reply, awaited off the UI thread, follows.
void AdminConsole::enterCommandLine() {
  if (pending_) return;
  ui_->statusBar->repaint();
  lastCommand_ = toBytes(ui_->commandLine->text());
  const std::string password = rconPassword();
  const std::string& c = lastCommand_;
  bool local = true;

  if (c == "clear" || c == "clr") {
    clearConsole();
  } else if (c == "debugit /h") {
    clearConsole();
    for (const char* line : kHelp) addConsoleLine(line);
    ui_->commandLine->clear();
  } else if (c == "debugit /sb") {
    showLog("bad log [internal report]:", "--------------------------", int(LogKind::BadLog));
  } else if (c == "debugit /ss") {
    showLog("scan log [kick history]:", "------------------------", int(LogKind::ScanLog));
  } else if (c == "debugit /sm") {
    showLog("map log [map history]:", "----------------------", int(LogKind::MapLog));
  } else if (c == "debugit /sp") {
    showLog("player log [player history]:", "----------------------------",
            int(LogKind::PlayerLog));
  } else if (c == "debugit /rm" || c == "debugit /rp" || c == "debugit /rs" || c == "debugit /rb") {
    const LogKind kind = c == "debugit /rm"   ? LogKind::MapLog
                         : c == "debugit /rp" ? LogKind::PlayerLog
                         : c == "debugit /rs" ? LogKind::ScanLog
                                              : LogKind::BadLog;
    consoleLogs().clear(kind);
    ui_->commandLine->clear();
  } else {
    local = false;
  }

  if (c == "debugit /sv") {
    clearConsole();
    showVariables();
    ui_->commandLine->clear();
    ui_->commandLine->setFocus();
    return;
  }
  if (password.empty()) {
    // A local command has done its part; it is not sent.
    if (!local) refuseWithoutPassword("nothing sent");
    ui_->commandLine->clear();
    ui_->commandLine->setFocus();
    return;
  }
  sendLine(password, c);
}

void AdminConsole::sendLine(const std::string& password, const std::string& command) {
  if (!rconAwaitsReply(password, command)) {
    if (!sendRcon(commandClient_, password, command).failed()) addConsoleLine(kNoResponse);
    ui_->commandLine->clear();
    ui_->commandLine->setFocus();
    return;
  }
  auto pending = std::make_shared<PendingLine>();
  pending_ = pending;
  ui_->commandLine->setReadOnly(true);
  const int timeoutMs = clock().scaled(kLineReplyTimeoutMs);
  UdpClient* client = &commandClient_;
  pending->task = runInBackground(
      this,
      [pending, client, password, command, timeoutMs](const StopSignal& stop) {
        UdpResult result = rconQuery(*client, password, command, timeoutMs, &stop);
        std::lock_guard lock(pending->mutex);
        pending->result = std::move(result);
        pending->done = true;
        pending->finished.notify_all();
      },
      [this, pending] {
        if (pending_ == pending) finishLine();
      });
}

// Shows the awaited reply (or "no response from server") once the exchange
// has ended; a failed or cancelled exchange shows nothing.
void AdminConsole::finishLine() {
  std::shared_ptr<PendingLine> p = std::move(pending_);
  pending_.reset();
  if (!p) return;
  {
    std::unique_lock lock(p->mutex);
    p->finished.wait(lock, [&] { return p->done; });
  }
  ui_->commandLine->setReadOnly(false);
  const UdpResult& r = p->result;
  if (r.outcome == UdpOutcome::Ok && !r.bytes.empty()) {
    for (const std::string& line : replyLines(r.bytes))
      addConsoleLine(toQString(escapeControls(line)));
  } else if (r.outcome == UdpOutcome::Ok || r.outcome == UdpOutcome::TimedOut) {
    addConsoleLine(kNoResponse);
  }
  ui_->commandLine->clear();
  ui_->commandLine->setFocus();
}

bool AdminConsole::commandPending() const { return static_cast<bool>(pending_); }

void AdminConsole::waitForCommandClient() {
  if (pending_) finishLine();
}

void AdminConsole::cancelLine() {
  if (!pending_) return;
  pending_->task.cancel();
  finishLine();
}

void AdminConsole::clearConsoleAndFocus() {
  clearConsole();
  ui_->commandLine->setFocus();
}

// "save rcon log": every console line to a new file, CR LF after each.
void AdminConsole::saveConsoleLog() {
  QString file = saveFileKeepingDirectory(this, "text file (*.txt)", "rconlog_1");
  if (!file.isEmpty()) {
    if (QFileInfo(file).suffix().isEmpty()) file += ".txt";
    std::vector<std::string> lines;
    for (const QString& l : lines_) lines.push_back(toBytes(l));
    try {
      replaceContentAt(QFile::encodeName(file).toStdString(), joinLinesCrlf(lines));
    } catch (const FileError& e) {
      dialogs().showError(this, errorText(e.what()));
    }
  }
  ui_->commandLine->setFocus();
}

// "save rcon password": a record for the console's server in "Passwords.txt".
void AdminConsole::saveRconPassword() {
  try {
    std::string port = commandClient_.port();
    std::uint16_t number = 0;
    if (parsePort(port, number)) port = std::to_string(number);
    appendRconPassword(commandClient_.host(), port, toBytes(ui_->rconPasswordEdit->text()));
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
  }
  ui_->commandLine->setFocus();
}

}  // namespace tarvix
