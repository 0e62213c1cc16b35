#include "admin/MapChangeWindow.h"

#include <QAction>
#include <QHideEvent>
#include <QMenu>
#include <QTreeWidget>

#include "components/OffThreadWait.h"
#include "admin/AddMapWindow.h"
#include "admin/AdminConsole.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "components/Clock.h"
#include "components/Dialogs.h"
#include "components/DoubleClickFilter.h"
#include "components/QtText.h"
#include "protocol/Rcon.h"
#include "store/NameLists.h"

namespace tarvix {

namespace {
constexpr int kMapReplyTimeoutMs = 10000;
}  // namespace

MapChangeWindow::MapChangeWindow(QWidget* parent)
    : AdminListWindow({.objectName = "Form19",
                        .caption = "Map change",
                        .file = kMapsFile,
                        .columns = {{"map name", 155}, {"rcon name", 155}},
                        .pairs = true,
                        .sorted = true,
                        .icon = ":/rcon.png",
                        .statusBar = true},
                       parent) {
  resize(335, 300);
  loadmap1 = PopupMenu1->addAction("load map");
  loadmap1->setObjectName("loadmap1");
  PopupMenu1->addSeparator();
  deletemap1 = PopupMenu1->addAction("delete map");
  deletemap1->setObjectName("deletemap1");
  newmap1 = PopupMenu1->addAction("new map");
  newmap1->setObjectName("newmap1");
  connect(loadmap1, &QAction::triggered, this, &MapChangeWindow::loadmap1Click);
  connect(deletemap1, &QAction::triggered, this, &MapChangeWindow::deletemap1Click);
  connect(newmap1, &QAction::triggered, this, &MapChangeWindow::newmap1Click);
  onDoubleClick(ListView1, [this] { loadmap1Click(); });
}

void MapChangeWindow::deletemap1Click() { DeleteSelected(); }

void MapChangeWindow::newmap1Click() { showWindow(forms().Form20); }

void MapChangeWindow::loadmap1Click() {
  // A second request while a change waits for the server is ignored.
  if (busy_) return;
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  if (!selected.isEmpty() && dialogs().confirm("sure to change the map ?")) {
    const std::string display = toBytes(selected.first()->text(0));
    const std::string rcon = toBytes(selected.first()->text(1));
    busy_ = true;
    ChangeMap(display, rcon);
    busy_ = false;
  }
  if (AdminConsole* console = forms().Form9) console->focusCommandLine();
  hide();
}

void MapChangeWindow::ChangeMap(const std::string& displayName, const std::string& rconName) {
  AdminConsole* console = forms().Form9;
  if (!console) return;
  // The console's own command line must not use its client meanwhile: finish
  // a pending typed line and keep the console still until the change is done.
  console->waitForCommandClient();
  const bool wasEnabled = console->isEnabled();
  console->setEnabled(false);

  // The exchanges run on fresh sockets of their own, aimed where the
  // console's client is: the console may be re-opened or switched to another
  // server (closing and re-aiming IdUDPClient1) while they wait off the UI
  // thread.
  UdpClient client;
  client.setServer(console->commandClient.host(), console->commandClient.port());
  const int pauseMs = clock().scaled(forms().Form1 ? forms().Form1->settings().scanTimeout() : 0);
  const std::string announce = "say loading next map: " + displayName;
  const std::string change = "map " + rconName;

  bool failed = false;
  std::string password = console->rconPassword();
  bool finished = runOffUiThread([&](const StopSignal& stop) {
    if (!client.recreate() || sendRcon(client, password, announce).failed()) {
      failed = true;
      return;
    }
    stop.waitFor(pauseMs);
  });

  std::string reply;
  if (finished && !failed) {
    password = console->rconPassword();
    finished = runOffUiThread([&](const StopSignal& stop) {
      if (!client.recreate()) return;
      UdpResult r = rconQuery(client, password, change, kMapReplyTimeoutMs, &stop);
      if (r.ok()) reply = std::move(r.bytes);
    });
  }
  // Whatever was queued on the console's client before the change is
  // dropped, as a re-created client drops it.
  if (console->commandClient.isOpen() && !console->commandPending()) console->commandClient.recreate();

  console->setEnabled(wasEnabled);
  // Socket failures and a missing answer show nothing.
  if (!finished || reply.empty()) return;
  for (const std::string& line : replyLines(reply)) console->addConsoleLine(toQString(line));
}

void MapChangeWindow::hideEvent(QHideEvent* event) {
  AdminListWindow::hideEvent(event);
  if (event->spontaneous()) return;
  if (AdminConsole* console = forms().Form9) console->update();
}

}  // namespace tarvix
