// The console's one-click actions, picture buttons, check boxes, interval
// items and the switch between the current and the default server.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include "admin/MapChangeWindow.h"
#include "admin/BanListWindow.h"
#include "admin/SkinListWindow.h"
#include "admin/MessageListWindow.h"
#include "admin/AdminConsole.h"
#include "admin/AdminConsoleWorkers.h"
#include "admin/core/AntiCheatPass.h"
#include "app/Forms.h"
#include "base/Text.h"
#include "app/MainWindow.h"
#include "components/Clock.h"
#include "components/Dialogs.h"
#include "components/OffThreadWait.h"
#include "components/QtText.h"
#include "protocol/Rcon.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

namespace {

constexpr int kRestartPauseMs = 2000;

// Waits `ms` milliseconds with every window working; false when the wait was
// ended early (the program is quitting).
bool pauseKeepingUi(int ms) {
  return runOffUiThread([ms](const StopSignal& stop) { stop.waitFor(ms); });
}

}  // namespace

QTreeWidgetItem* AdminConsole::selectedPlayer() const {
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void AdminConsole::refresh1Click() {
  if (!AntiCheatRunning) startAntiCheat();
}

// Sends one rcon command on a fresh IdUDPClient1; no reply is read.
bool AdminConsole::sendOneShot(const std::string& command) {
  Client1Idle();
  if (!IdUDPClient1.recreate()) return false;
  return !sendRcon(IdUDPClient1, rconPassword(), command).failed();
}

void AdminConsole::kick1Click() {
  QTreeWidgetItem* row = selectedPlayer();
  if (!row) return;
  const QString name = row->text(ColPlayer);
  if (!dialogs().confirm("sure to kick " + name + " ?")) return;
  const std::optional<std::string> quoted = quotedRconArgument(toBytes(name));
  if (!quoted) {
    addConsoleLine("!! -> " + toQString(std::string(kCannotAddressPlayer) + escapeControls(toBytes(name))));
    return;
  }
  if (sendOneShot("kick " + *quoted)) addConsoleLine("!! -> " + name + " kicked by admin");
}

void AdminConsole::appendBan(const QString& text) {
  try {
    appendNameEntry(kBansFile, toBytes(text));
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }
  Edit1->setFocus();
}

void AdminConsole::banplayer1Click() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(ColPlayer));
}

void AdminConsole::banip1Click() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(ColIP));
}

// "maps": the map change window.
void AdminConsole::Button4Click() { showWindow(forms().Form19); }

void AdminConsole::restart1x1Click() {
  if (!dialogs().confirm("sure to restart ?")) return;
  if (sendOneShot("restart")) addConsoleLine("!! -> admin restart");
}

// Three restarts 2 s apart, then "say gogogo!". The pauses keep the other
// windows working; this window stays disabled meanwhile.
void AdminConsole::restart3x1Click() {
  if (!dialogs().confirm("sure to restart 3 times ?")) return;
  Client1Idle();
  QPointer<AdminConsole> self(this);
  setEnabled(false);
  bool ok = IdUDPClient1.recreate();
  for (int i = 0; ok && i < 3; ++i) {
    ok = !sendRcon(IdUDPClient1, rconPassword(), "restart").failed();
    if (!ok) break;
    addConsoleLine("!! -> admin restart");
    if (!pauseKeepingUi(clock().scaled(kRestartPauseMs))) {
      if (self) setEnabled(true);
      return;
    }
    if (!self) return;
    ok = IdUDPClient1.recreate();
  }
  if (ok) ok = !sendRcon(IdUDPClient1, rconPassword(), "say gogogo!").failed();
  if (ok)
    addConsoleLine("!! -> admin say gogogo!");
  else
    addConsoleLine("!! -> error during restart 3x");
  setEnabled(true);
}

void AdminConsole::crash1Click() {
  if (!dialogs().confirm("sure to crash the server ?")) return;
  if (sendOneShot("crash")) addConsoleLine("!! -> admin crash");
}

void AdminConsole::BitBtn1Click() { Button4Click(); }

void AdminConsole::BitBtn2Click() { showWindow(forms().Form21); }

void AdminConsole::BitBtn3Click() { showWindow(forms().Form23); }

void AdminConsole::messages1Click() {
  if (MessageListWindow* messages = forms().Form27) messages->show();
}

// "detect skins"
void AdminConsole::CheckBox1Click() {
  if (CheckBox1->isChecked()) {
    Timer1->start();
    addConsoleLine("!! -> scanner started");
    addConsoleLine("!! -> scanner interval: " + QString::number(Timer1Interval / 60000) +
                   " minutes");
    addConsoleLine(CheckBox3->isChecked() ? "!! -> bans: on" : "!! -> bans: off");
    addConsoleLine("!! -> info: rightclick \"detect skins\" to change interval");
  } else {
    if (AntiCheatRunning) Button5Click();
    Timer1->stop();
    addConsoleLine("!! -> scanner stoped!");
  }
  Edit1->setFocus();
}

// "check bans"
void AdminConsole::CheckBox3Click() {
  addConsoleLine(CheckBox3->isChecked() ? "!! -> bans: on" : "!! -> bans: off");
  Edit1->setFocus();
}

// "show next map"
void AdminConsole::CheckBox4Click() {
  if (CheckBox4->isChecked()) {
    addConsoleLine("!! -> show next map: on");
    addConsoleLine("!! -> info: displays next map via console");
    addConsoleLine("!! -> info: rightclick \"show next map\" to change interval");
    Edit1->setFocus();
    if (!keepTimer2Interval_) setTimer2Interval(150000);
    Timer2->start();
  } else {
    Timer2->stop();
    addConsoleLine("!! -> show next map: off");
    Edit1->setFocus();
    if (ChatterRunning) Button6Click();
  }
}

void AdminConsole::scanInterval(int ms, const QString& line) {
  setTimer1Interval(ms);
  CheckBox1->setChecked(true);
  Timer1->start();
  addConsoleLine(line);
}

void AdminConsole::displayInterval(int ms, const QString& line) {
  setTimer2Interval(ms);
  keepTimer2Interval_ = true;
  CheckBox4->setChecked(true);
  keepTimer2Interval_ = false;
  Timer2->start();
  addConsoleLine(line);
}

// "default server": the console switches between the main window's current
// server and the default server.
void AdminConsole::CheckBox2Click() {
  if (AntiCheatRunning) Button5Click();
  if (DefaultHost.empty()) {
    dialogs().showMessage("No server marked as default !");
    return;
  }
  Client1Idle();
  ListView1->clear();
  MainWindow* main = forms().Form1;
  if (CheckBox2->isChecked()) {
    aimClients(DefaultHost, DefaultPort);
    SavedRconPassword = toBytes(LabeledEdit1->text());
    LabeledEdit1->setText(toQString(DefaultRconPassword));
    clearConsole();
    addConsoleLine("connected to default server: " + toQString(DefaultHost) + ":" +
                   toQString(DefaultPort));
  } else {
    const std::string ip = main ? main->CurrentIP : std::string();
    const std::string port = main ? main->CurrentPort : std::string();
    aimClients(ip, port);
    LabeledEdit1->setText(toQString(SavedRconPassword));
    clearConsole();
    addConsoleLine("connected to server: " + toQString(ip) + ":" + toQString(port));
  }
  if (isVisible()) Edit1->setFocus();
}

}  // namespace tarvix
