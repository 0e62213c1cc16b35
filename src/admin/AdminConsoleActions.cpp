// The console's one-click actions, picture buttons, check boxes, interval
// items and the switch between the current and the default server.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include "admin/AdminConsole.h"
#include "admin/AdminConsoleWorkers.h"
#include "admin/core/AntiCheatPass.h"
#include "base/Text.h"
#include "components/Background.h"
#include "components/Clock.h"
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
  const QList<QTreeWidgetItem*> selected = playerView->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void AdminConsole::refreshPlayers() {
  if (!antiCheatRunning()) startAntiCheat();
}

// Sends one rcon command on a fresh commandClient; no reply is read.
bool AdminConsole::sendOneShot(const std::string& command) {
  if (refuseWithoutPassword("nothing sent")) return false;
  waitForCommandClient();
  if (!commandClient.recreate()) return false;
  return !sendRcon(commandClient, rconPassword(), command).failed();
}

void AdminConsole::kickPlayer() {
  QTreeWidgetItem* row = selectedPlayer();
  if (!row) return;
  const QString name = row->text(ColPlayer);
  if (!dialogs().confirm(this, "sure to kick " + name + " ?")) return;
  const std::optional<std::string> quoted = quotedRconArgument(toBytes(name));
  if (!quoted) {
    addConsoleLine("!! -> " +
                   toQString(std::string(kCannotAddressPlayer) + escapeControls(toBytes(name))));
    return;
  }
  if (sendOneShot("kick " + *quoted)) addConsoleLine("!! -> " + name + " kicked by admin");
}

void AdminConsole::appendBan(const QString& text) {
  try {
    appendNameEntry(kBansFile, toBytes(text));
  } catch (const FileError& e) {
    dialogs().showError(this, errorText(e.what()));
  }
  commandLine->setFocus();
}

void AdminConsole::banPlayerName() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(ColPlayer));
}

void AdminConsole::banPlayerIp() {
  if (QTreeWidgetItem* row = selectedPlayer()) appendBan(row->text(ColIP));
}

// "maps": the map change window.
void AdminConsole::showMapChange() { emit mapListRequested(); }

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
  restartRound(0, commandClient.recreate());
}

// Round `round` of restart 3x on a freshly re-created client (`ok`: it could
// be re-created); after the third, the closing "say".
void AdminConsole::restartRound(int round, bool ok) {
  if (ok && round < 3) {
    ok = !rconPassword().empty() && !sendRcon(commandClient, rconPassword(), "restart").failed();
    if (ok) {
      addConsoleLine("!! -> admin restart");
      const int pauseMs = clock().scaled(kRestartPauseMs);
      runInBackground(
          this, [pauseMs](const StopSignal& stop) { stop.waitFor(pauseMs); },
          [this, round] { restartRound(round + 1, commandClient.recreate()); });
      return;
    }
  }
  if (ok)
    ok =
        !rconPassword().empty() && !sendRcon(commandClient, rconPassword(), "say gogogo!").failed();
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

void AdminConsole::showBanList() { emit banListRequested(); }

void AdminConsole::showSkinList() { emit skinListRequested(); }

void AdminConsole::showMessages() { emit messagesRequested(); }

// "detect skins"
void AdminConsole::onDetectSkinsToggled() {
  if (detectSkinsCheckBox->isChecked()) {
    antiCheatTimer->start();
    addConsoleLine("!! -> scanner started");
    addConsoleLine("!! -> scanner interval: " + QString::number(antiCheatInterval / 60000) +
                   " minutes");
    addConsoleLine(checkBansCheckBox->isChecked() ? "!! -> bans: on" : "!! -> bans: off");
    addConsoleLine("!! -> info: rightclick \"detect skins\" to change interval");
    refuseWithoutPassword("nobody is kicked until one is entered");
  } else {
    stopAntiCheat();
    antiCheatTimer->stop();
    addConsoleLine("!! -> scanner stoped!");
  }
  commandLine->setFocus();
}

// "check bans"
void AdminConsole::onCheckBansToggled() {
  addConsoleLine(checkBansCheckBox->isChecked() ? "!! -> bans: on" : "!! -> bans: off");
  commandLine->setFocus();
}

// "show next map"
void AdminConsole::onShowNextMapToggled() {
  if (showNextMapCheckBox->isChecked()) {
    addConsoleLine("!! -> show next map: on");
    addConsoleLine("!! -> info: displays next map via console");
    addConsoleLine("!! -> info: rightclick \"show next map\" to change interval");
    refuseWithoutPassword("nothing is announced until one is entered");
    commandLine->setFocus();
    if (!keepAnnouncerInterval_) setAnnouncerInterval(150000);
    announcerTimer->start();
  } else {
    announcerTimer->stop();
    addConsoleLine("!! -> show next map: off");
    commandLine->setFocus();
    stopAnnouncer();
  }
}

void AdminConsole::setScanInterval(int ms, const QString& line) {
  setAntiCheatInterval(ms);
  detectSkinsCheckBox->setChecked(true);
  antiCheatTimer->start();
  addConsoleLine(line);
}

void AdminConsole::setDisplayInterval(int ms, const QString& line) {
  setAnnouncerInterval(ms);
  keepAnnouncerInterval_ = true;
  showNextMapCheckBox->setChecked(true);
  keepAnnouncerInterval_ = false;
  announcerTimer->start();
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
  playerView->clear();
  if (defaultServerCheckBox->isChecked()) {
    aimClients(byDefault.ip, byDefault.port);
    savedRconPassword = toBytes(rconPasswordEdit->text());
    rconPasswordEdit->setText(toQString(byDefault.rconPassword));
    clearConsole();
    addConsoleLine("connected to default server: " + toQString(byDefault.ip) + ":" +
                   toQString(byDefault.port));
  } else {
    const CurrentServer current = settings_.currentServer();
    aimClients(current.ip, current.port);
    rconPasswordEdit->setText(toQString(savedRconPassword));
    clearConsole();
    addConsoleLine("connected to server: " + toQString(current.ip) + ":" + toQString(current.port));
  }
  if (isVisible()) commandLine->setFocus();
}

}  // namespace tarvix
