// The console: its lines, the command line with its local commands, the
// typed lines' rcon round trip, and the save items.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <atomic>
#include <thread>

#include "admin/AdminConsole.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "base/ConsoleLogs.h"
#include "app/core/ScanPass.h"
#include "components/Clock.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "protocol/Rcon.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "base/Text.h"

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

// A typed line whose reply is awaited on a thread of its own; the UI thread
// applies the outcome when the thread has ended.
struct AdminConsole::PendingLine {
  StopSignal stop;
  std::thread thread;
  UdpResult result;
};

void AdminConsole::addConsoleLine(const QString& line) {
  if (lines_.isEmpty())
    Memo1->setPlainText(line);
  else
    Memo1->appendPlainText(line);
  lines_.append(line);
}

void AdminConsole::addConsoleLines(const QStringList& lines) {
  for (const QString& l : lines) addConsoleLine(l);
}

void AdminConsole::clearConsole() {
  lines_.clear();
  Memo1->clear();
}

QString AdminConsole::statusText() const { return StatusPanel->text(); }

void AdminConsole::setStatusText(const QString& text) { StatusPanel->setText(text); }

void AdminConsole::focusCommandLine() { Edit1->setFocus(); }

void AdminConsole::Edit1KeyDown(int key) {
  if (pending_) return;  // the command line waits for its reply
  if (key == Qt::Key_Up) {
    Edit1->setText(toQString(LastCommand));
  } else if (key == Qt::Key_Down) {
    Edit1->clear();
  } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    Edit1Enter();
  }
}

void AdminConsole::showLog(const char* title, const char* dashes, int kind) {
  clearConsole();
  addConsoleLine(title);
  addConsoleLine(dashes);
  for (const std::string& line : splitLines(consoleLogs().text(static_cast<LogKind>(kind))))
    addConsoleLine(toQString(line));
  Edit1->clear();
}

void AdminConsole::showVariables() {
  MainWindow* main = forms().Form1;
  const int i1 = Timer1Interval;
  const int i2 = Timer2Interval;
  addConsoleLine("Tarvix Version: " + (main ? main->VersionText : QString()));
  addConsoleLine("anticheatinterval: " + QString::number(i1) + " ms [" +
                 QString::number(i1 / 60000) + " min]");
  addConsoleLine(Timer1->isActive() ? "anticheattimer: on" : "anticheatimer: off");
  addConsoleLine("anticheatthread: " + trueFalse(AntiCheatRunning));
  addConsoleLine("messaginginterval: " + QString::number(i2) + " ms [" +
                 QString::number(i2 / 60000) + " min]");
  addConsoleLine("messagingtimer: " + onOff(Timer2->isActive()));
  addConsoleLine("messagingthread: " + trueFalse(ChatterRunning));
  addConsoleLine("check bans: " + onOff(CheckBox3->isChecked()));
  if (main) {
    addConsoleLine("autoscan: " + onOff(main->Timer1->isActive()));
    addConsoleLine("scanthread: " + trueFalse(main->Scanning));
    if (main->Scanning)
      addConsoleLine("scanthreadid: " +
                     QString::number(main->ScanThread ? main->ScanThread->threadId() : 0));
    addConsoleLine("scanping: " + QString::number(main->ScanTimeout.get()));
  }
  addConsoleLine("rconpassword: " + toQString(rconPassword()));
  if (main) {
    addConsoleLine("main password: " + toQString(main->ServerPassword));
    addConsoleLine("serverlist: " + toQString(main->ServerListPath.get()));
  }
}

// An entered line: local commands first, then (all but "debugit /sv") the
// line goes to the server and its reply, awaited off the UI thread, follows.
void AdminConsole::Edit1Enter() {
  if (pending_) return;
  StatusBar1->repaint();
  LastCommand = toBytes(Edit1->text());
  const std::string password = rconPassword();
  const std::string& c = LastCommand;

  if (c == "clear" || c == "clr") {
    clearConsole();
  } else if (c == "debugit /h") {
    clearConsole();
    for (const char* line : kHelp) addConsoleLine(line);
    Edit1->clear();
  } else if (c == "debugit /sb") {
    showLog("bad log [internal report]:", "--------------------------", int(LogKind::BadLog));
  } else if (c == "debugit /ss") {
    showLog("scan log [kick history]:", "------------------------", int(LogKind::ScanLog));
  } else if (c == "debugit /sm") {
    showLog("map log [map history]:", "----------------------", int(LogKind::MapLog));
  } else if (c == "debugit /sp") {
    showLog("player log [player history]:", "----------------------------",
            int(LogKind::PlayerLog));
  } else if (c == "debugit /rm" || c == "debugit /rp" || c == "debugit /rs" ||
             c == "debugit /rb") {
    const LogKind kind = c == "debugit /rm"   ? LogKind::MapLog
                         : c == "debugit /rp" ? LogKind::PlayerLog
                         : c == "debugit /rs" ? LogKind::ScanLog
                                              : LogKind::BadLog;
    consoleLogs().clear(kind);
    Edit1->clear();
  }

  if (c == "debugit /sv") {
    clearConsole();
    showVariables();
    Edit1->clear();
    Edit1->setFocus();
    return;
  }
  sendLine(password, c);
}

void AdminConsole::sendLine(const std::string& password, const std::string& command) {
  if (!rconAwaitsReply(password, command)) {
    if (!sendRcon(IdUDPClient1, password, command).failed()) addConsoleLine(kNoResponse);
    Edit1->clear();
    Edit1->setFocus();
    return;
  }
  auto pending = std::make_shared<PendingLine>();
  pending_ = pending;
  Edit1->setReadOnly(true);
  const int timeoutMs = clock().scaled(kLineReplyTimeoutMs);
  PendingLine* p = pending.get();
  QPointer<AdminConsole> self(this);
  p->thread = std::thread([this, p, self, password, command, timeoutMs] {
    p->result = rconQuery(IdUDPClient1, password, command, timeoutMs, &p->stop);
    QMetaObject::invokeMethod(
        self.data(),
        [self, p] {
          if (self && self->pending_.get() == p) self->finishLine();
        },
        Qt::QueuedConnection);
  });
}

// Shows the awaited reply (or "no response from server") once its thread
// has ended; a failed or cancelled exchange shows nothing.
void AdminConsole::finishLine() {
  std::shared_ptr<PendingLine> p = std::move(pending_);
  pending_.reset();
  if (!p) return;
  if (p->thread.joinable()) p->thread.join();
  Edit1->setReadOnly(false);
  const UdpResult& r = p->result;
  if (r.outcome == UdpOutcome::Ok && !r.bytes.empty()) {
    for (const std::string& line : replyLines(r.bytes)) addConsoleLine(toQString(line));
  } else if (r.outcome == UdpOutcome::Ok || r.outcome == UdpOutcome::TimedOut) {
    addConsoleLine(kNoResponse);
  }
  Edit1->clear();
  Edit1->setFocus();
}

void AdminConsole::Client1Idle() {
  if (pending_) finishLine();
}

void AdminConsole::cancelLine() {
  if (!pending_) return;
  pending_->stop.request();
  finishLine();
}

void AdminConsole::clearconsole1Click() {
  clearConsole();
  Edit1->setFocus();
}

// "save rcon log": every console line to a new file, CR LF after each.
void AdminConsole::Button1Click() {
  QString file = saveFileKeepingDirectory("text file (*.txt)", "rconlog_1");
  if (!file.isEmpty()) {
    if (QFileInfo(file).suffix().isEmpty()) file += ".txt";
    std::vector<std::string> lines;
    for (const QString& l : lines_) lines.push_back(toBytes(l));
    try {
      replaceContentAt(QFile::encodeName(file).toStdString(), joinLinesCrlf(lines));
    } catch (const FileError& e) {
      dialogs().showError(toQString(e.what()));
    }
  }
  Edit1->setFocus();
}

// "save rcon password": a record for the console's server in "Passwords.txt".
void AdminConsole::Button2Click() {
  try {
    std::string port = IdUDPClient1.port();
    std::uint16_t number = 0;
    if (parsePort(port, number)) port = std::to_string(number);
    appendRconPassword(IdUDPClient1.host(), port, rconPassword());
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }
  Edit1->setFocus();
}

}  // namespace tarvix
