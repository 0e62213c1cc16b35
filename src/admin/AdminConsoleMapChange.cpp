// The map change asked for by the map list.
#include <memory>

#include "admin/AdminConsole.h"
#include "components/Background.h"
#include "components/Clock.h"
#include "components/QtText.h"
#include "protocol/Rcon.h"

namespace tarvix {

namespace {
constexpr int kMapReplyTimeoutMs = 10000;
}  // namespace

// The exchanges run in the background on fresh sockets of their own, aimed
// where the command client is: the console may be re-opened or switched to
// another server (closing and re-aiming the command client) while they wait.
// The password is read anew for each exchange.
void AdminConsole::changeMap(const std::string& displayName, const std::string& rconName) {
  // The command line must not use its client meanwhile: finish a pending
  // typed line and keep the console still until the change is done.
  if (refuseWithoutPassword("nothing sent")) {
    emit mapChangeFinished();
    return;
  }
  waitForCommandClient();
  const bool wasEnabled = isEnabled();
  setEnabled(false);

  auto client = std::make_shared<UdpClient>();
  client->setServer(commandClient_.host(), commandClient_.port());
  const int pauseMs = clock().scaled(scanTimeout());
  const std::string announce = "say loading next map: " + displayName;
  const std::string change = "map " + rconName;
  runInBackground(
      this,
      [client, password = rconPassword(), announce, pauseMs](const StopSignal& stop) {
        if (!client->recreate() || sendRcon(*client, password, announce).failed()) return false;
        stop.waitFor(pauseMs);
        return true;
      },
      [this, client, change, wasEnabled](bool announced) {
        if (!announced || rconPassword().empty()) {
          finishMapChange(wasEnabled, std::string());
          return;
        }
        runInBackground(
            this,
            [client, password = rconPassword(), change](const StopSignal& stop) {
              if (!client->recreate()) return std::string();
              UdpResult r = rconQuery(*client, password, change, kMapReplyTimeoutMs, &stop);
              return r.ok() ? std::move(r.bytes) : std::string();
            },
            [this, wasEnabled](std::string reply) { finishMapChange(wasEnabled, reply); });
      });
}

// Socket failures and a missing answer show nothing.
void AdminConsole::finishMapChange(bool wasEnabled, const std::string& reply) {
  // Whatever was queued on the command client before the change is dropped,
  // as a re-created client drops it.
  if (commandClient_.isOpen() && !commandPending()) commandClient_.recreate();
  setEnabled(wasEnabled);
  if (!reply.empty())
    for (const std::string& line : replyLines(reply)) addConsoleLine(toQString(line));
  emit mapChangeFinished();
}

}  // namespace tarvix
