// "r-con" and "rcon": opening the admin console on the current server or on
// the default server.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

#include "admin/AdminConsole.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/Dialogs.h"
#include "components/QtText.h"
#include "store/Config.h"
#include "store/DataFile.h"

namespace tarvix {

void MainWindow::connectConsoleHandlers() {
  connect(ToolButton7, &QToolButton::clicked, this, &MainWindow::ToolButton7Click);
  connect(rcon1, &QAction::triggered, this, &MainWindow::ToolButton7Click);
}

void MainWindow::ToolButton7Click() {
  AdminConsole* console = forms().Form9;
  if (!console) return;
  const CurrentServer current = settings_.currentServer();
  if (!current.empty()) {
    console->hide();
    console->show();
    console->defaultServerCheckBox->setChecked(current.ip == console->DefaultHost);
    return;
  }
  try {
    const DefaultServer d = readDefaultServer();
    settings_.setCurrentServer({d.ip, d.port});
    console->DefaultHost = d.ip;
    console->DefaultPort = d.port;
    console->DefaultRconPassword = d.rconPassword;
    console->rconPasswordEdit->setText(toQString(d.rconPassword));
  } catch (const FileError& e) {
    dialogs().showError(toQString(e.what()));
    return;
  }
  if (!console->DefaultHost.empty()) {
    console->defaultServerCheckBox->setChecked(true);
    console->hide();
    console->show();
  } else {
    dialogs().showMessage("Select a server or mark one as default!");
  }
}

void MainWindow::stopConsoleWorkers() {
  if (AdminConsole* console = forms().Form9) console->stopWorkers();
}

}  // namespace tarvix
