// The console's one-click actions, picture buttons, check boxes, interval
// items and the switch between the current and the default server.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include "admin/AdminConsoleUi.h"
#include "admin/AdminConsoleWorkers.h"
#include "admin/core/AntiCheatPass.h"
#include "base/Text.h"
#include "components/Background.h"
#include "components/Clock.h"
#include "components/ColourCodeText.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "protocol/Rcon.h"
#include "store/DataFile.h"
#include "store/NameLists.h"
#include "store/Settings.h"

namespace tarvix {

namespace {

constexpr int kRestartPauseMs = 2000;

}  // namespace

QTreeWidgetItem* AdminConsole::selectedPlayer() const {
  const QList<QTreeWidgetItem*> selected = ui_->playerView->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void AdminConsole::refreshPlayers() { antiCheat_->startIfIdle(); }

// Sends one rcon command on a fresh commandClient_; no reply is read.
bool AdminConsole::sendOneShot(const std::string& command) {
  if (refuseWithoutPassword("nothing sent")) return false;
  waitForCommandClient();
  if (!commandClient_.recreate()) return false;
  return !sendRcon(commandClient_, rconPassword(), command).failed();
}

void AdminConsole::kickPlayer() {
  QTreeWidgetItem* row = selectedPlayer();
  if (!row) return;
  const QString name = row->text(int(PlayerColumn::Name));
  if (!dialogs().confirm(this, "sure to kick " + plainName(name) + " ?")) return;
  const std::optional<std::string> quoted = quotedRconArgument(toBytes(name));
  if (!quoted) {
    addConsoleLine("!! -> " +
                   toQString(std::string(kCannotAddressPlayer) + escapeControls(toBytes(name))));
    return;
  }
  if (!sendOneShot("kick " + *quoted)) return;
  addConsoleLine("!! -> " + plainName(name) + " kicked by admin");
  // Gone from the list at once; the next refresh shows who is still there.
  // Looked up again: a worker pass may have rebuilt the list meanwhile.
  for (int i = ui_->playerView->topLevelItemCount() - 1; i >= 0; --i)
    if (ui_->playerView->topLevelItem(i)->text(int(PlayerColumn::Name)) == name)
      delete ui_->playerView->topLevelItem(i);
}

void AdminConsole::appendBan(const QString& text) {
  try {
    appendNameEntry(kBansFile, toBytes(text));
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
  }
  ui_->commandLine->setFocus();
}

void AdminConsole::banPlayerName() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(int(PlayerColumn::Name)));
}

void AdminConsole::banPlayerIp() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(int(PlayerColumn::IP)));
}

// "maps": the map change window.
void AdminConsole::restartMap() {
  if (!dialogs().confirm(this, "sure to restart ?")) return;
  if (sendOneShot("restart")) addConsoleLine("!! -> admin restart");
}

// Three restarts 2 s apart, then "say gogogo!". The pauses run in the
// background; this window stays disabled meanwhile.
void AdminConsole::restartMapThreeTimes() {
  if (!dialogs().confirm(this, "sure to restart 3 times ?")) return;
  if (refuseWithoutPassword("nothing sent")) return;
  waitForCommandClient();
  setEnabled(false);
  restartRound(0, commandClient_.recreate());
}

// Round `round` of restart 3x on a freshly re-created client (`ok`: it could
// be re-created); after the third, the closing "say".
void AdminConsole::restartRound(int round, bool ok) {
  if (ok && round < 3) {
    ok = !rconPassword().empty() && !sendRcon(commandClient_, rconPassword(), "restart").failed();
    if (ok) {
      addConsoleLine("!! -> admin restart");
      const int pauseMs = clock().scaled(kRestartPauseMs);
      runInBackground(
          this, [pauseMs](const StopSignal& stop) { stop.waitFor(pauseMs); },
          [this, round] { restartRound(round + 1, commandClient_.recreate()); });
      return;
    }
  }
  if (ok)
    ok = !rconPassword().empty() &&
         !sendRcon(commandClient_, rconPassword(), "say gogogo!").failed();
  if (ok)
    addConsoleLine("!! -> admin say gogogo!");
  else
    addConsoleLine("!! -> error during restart 3x");
  setEnabled(true);
}

void AdminConsole::crashServer() {
  if (!dialogs().confirm(this, "sure to crash the server ?")) return;
  if (sendOneShot("crash")) addConsoleLine("!! -> admin crash");
}

// "detect skins"
void AdminConsole::onDetectSkinsToggled() {
  if (ui_->detectSkinsCheckBox->isChecked()) {
    ui_->antiCheatTimer->start();
    addConsoleLine("!! -> scanner started");
    addConsoleLine("!! -> scanner interval: " + QString::number(antiCheatInterval_ / 60000) +
                   " minutes");
    addConsoleLine(ui_->checkBansCheckBox->isChecked() ? "!! -> bans: on" : "!! -> bans: off");
    addConsoleLine("!! -> info: rightclick \"detect skins\" to change interval");
    refuseWithoutPassword("nobody is kicked until one is entered");
  } else {
    stopAntiCheat();
    ui_->antiCheatTimer->stop();
    addConsoleLine("!! -> scanner stoped!");
  }
  ui_->commandLine->setFocus();
}

// "check bans"
void AdminConsole::onCheckBansToggled() {
  addConsoleLine(ui_->checkBansCheckBox->isChecked() ? "!! -> bans: on" : "!! -> bans: off");
  ui_->commandLine->setFocus();
}

// "show next map"
void AdminConsole::onShowNextMapToggled() {
  if (ui_->showNextMapCheckBox->isChecked()) {
    addConsoleLine("!! -> show next map: on");
    addConsoleLine("!! -> info: displays next map via console");
    addConsoleLine("!! -> info: rightclick \"show next map\" to change interval");
    refuseWithoutPassword("nothing is announced until one is entered");
    ui_->commandLine->setFocus();
    if (!keepAnnouncerInterval_) setAnnouncerInterval(150000);
    ui_->announcerTimer->start();
  } else {
    ui_->announcerTimer->stop();
    addConsoleLine("!! -> show next map: off");
    ui_->commandLine->setFocus();
    stopAnnouncer();
  }
}

void AdminConsole::setScanInterval(int ms, const QString& line) {
  setAntiCheatInterval(ms);
  ui_->detectSkinsCheckBox->setChecked(true);
  ui_->antiCheatTimer->start();
  addConsoleLine(line);
}

void AdminConsole::setDisplayInterval(int ms, const QString& line) {
  setAnnouncerInterval(ms);
  keepAnnouncerInterval_ = true;
  ui_->showNextMapCheckBox->setChecked(true);
  keepAnnouncerInterval_ = false;
  ui_->announcerTimer->start();
  addConsoleLine(line);
}

// "default server": the console switches between the current server and
// the default server.
void AdminConsole::onDefaultServerToggled() {
  stopAntiCheat();
  const DefaultServer byDefault = settings_.defaultServer();
  if (byDefault.ip.empty()) {
    dialogs().showMessage(this, "No server marked as default !");
    return;
  }
  waitForCommandClient();
  ui_->playerView->clear();
  if (ui_->defaultServerCheckBox->isChecked()) {
    aimClients(byDefault.ip, byDefault.port);
    savedRconPassword_ = toBytes(ui_->rconPasswordEdit->text());
    ui_->rconPasswordEdit->setText(toQString(byDefault.rconPassword));
    clearConsole();
    addConsoleLine("connected to default server: " + toQString(byDefault.ip) + ":" +
                   toQString(byDefault.port));
  } else {
    const CurrentServer current = settings_.currentServer();
    aimClients(current.ip, current.port);
    ui_->rconPasswordEdit->setText(toQString(savedRconPassword_));
    clearConsole();
    addConsoleLine("connected to server: " + toQString(current.ip) + ":" + toQString(current.port));
  }
  if (isVisible()) ui_->commandLine->setFocus();
}

}  // namespace tarvix
