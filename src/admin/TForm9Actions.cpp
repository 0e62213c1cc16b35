// The console's one-click actions, picture buttons, check boxes, interval
// items and the switch between the current and the default server.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include "admin/TForm19.h"
#include "admin/TForm21.h"
#include "admin/TForm23.h"
#include "admin/TForm27.h"
#include "admin/TForm9.h"
#include "admin/TForm9Workers.h"
#include "app/Forms.h"
#include "app/TForm1.h"
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
  return RunOffUiThread([ms](const TStopSignal& stop) { stop.waitFor(ms); });
}

}  // namespace

QTreeWidgetItem* TForm9::selectedPlayer() const {
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void TForm9::refresh1Click() {
  if (!AntiCheatRunning) startAntiCheat();
}

// Sends one rcon command on a fresh IdUDPClient1; no reply is read.
bool TForm9::sendOneShot(const std::string& command) {
  Client1Idle();
  if (!IdUDPClient1.recreate()) return false;
  return !SendRcon(IdUDPClient1, RconPassword(), command).failed();
}

void TForm9::kick1Click() {
  QTreeWidgetItem* row = selectedPlayer();
  if (!row) return;
  const QString name = row->text(ColPlayer);
  if (!dialogs().confirm("sure to kick " + name + " ?")) return;
  if (sendOneShot("kick \"" + toBytes(name) + "\""))
    addConsoleLine("!! -> " + name + " kicked by admin");
}

void TForm9::appendBan(const QString& text) {
  try {
    AppendNameEntry(kBansFile, toBytes(text));
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
  }
  Edit1->setFocus();
}

void TForm9::banplayer1Click() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(ColPlayer));
}

void TForm9::banip1Click() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(ColIP));
}

// "maps": the map change window.
void TForm9::Button4Click() { showWindow(forms().Form19); }

void TForm9::restart1x1Click() {
  if (!dialogs().confirm("sure to restart ?")) return;
  if (sendOneShot("restart")) addConsoleLine("!! -> admin restart");
}

// Three restarts 2 s apart, then "say gogogo!". The pauses keep the other
// windows working; this window stays disabled meanwhile.
void TForm9::restart3x1Click() {
  if (!dialogs().confirm("sure to restart 3 times ?")) return;
  Client1Idle();
  QPointer<TForm9> self(this);
  setEnabled(false);
  bool ok = IdUDPClient1.recreate();
  for (int i = 0; ok && i < 3; ++i) {
    ok = !SendRcon(IdUDPClient1, RconPassword(), "restart").failed();
    if (!ok) break;
    addConsoleLine("!! -> admin restart");
    if (!pauseKeepingUi(clock().scaled(kRestartPauseMs))) {
      if (self) setEnabled(true);
      return;
    }
    if (!self) return;
    ok = IdUDPClient1.recreate();
  }
  if (ok) ok = !SendRcon(IdUDPClient1, RconPassword(), "say gogogo!").failed();
  if (ok)
    addConsoleLine("!! -> admin say gogogo!");
  else
    addConsoleLine("!! -> error during restart 3x");
  setEnabled(true);
}

void TForm9::crash1Click() {
  if (!dialogs().confirm("sure to crash the server ?")) return;
  if (sendOneShot("crash")) addConsoleLine("!! -> admin crash");
}

void TForm9::BitBtn1Click() { Button4Click(); }

void TForm9::BitBtn2Click() { showWindow(forms().Form21); }

void TForm9::BitBtn3Click() { showWindow(forms().Form23); }

void TForm9::messages1Click() {
  if (TForm27* messages = forms().Form27) messages->show();
}

// "detect skins"
void TForm9::CheckBox1Click() {
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
void TForm9::CheckBox3Click() {
  addConsoleLine(CheckBox3->isChecked() ? "!! -> bans: on" : "!! -> bans: off");
  Edit1->setFocus();
}

// "show next map"
void TForm9::CheckBox4Click() {
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

void TForm9::scanInterval(int ms, const QString& line) {
  setTimer1Interval(ms);
  CheckBox1->setChecked(true);
  Timer1->start();
  addConsoleLine(line);
}

void TForm9::displayInterval(int ms, const QString& line) {
  setTimer2Interval(ms);
  keepTimer2Interval_ = true;
  CheckBox4->setChecked(true);
  keepTimer2Interval_ = false;
  Timer2->start();
  addConsoleLine(line);
}

// "default server": the console switches between the main window's current
// server and the default server.
void TForm9::CheckBox2Click() {
  if (AntiCheatRunning) Button5Click();
  if (DefaultHost.empty()) {
    dialogs().showMessage("No server marked as default !");
    return;
  }
  Client1Idle();
  ListView1->clear();
  TForm1* main = forms().Form1;
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
