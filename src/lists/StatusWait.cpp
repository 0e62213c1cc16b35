#include "lists/StatusWait.h"

#include "components/OffThreadWait.h"
#include "protocol/StatusQuery.h"

namespace tarvix {

std::string waitForStatusReply(UdpClient& client, const std::string& host,
                               const std::string& port, int timeoutMs) {
  // A fresh socket, so a late answer to an earlier query is never read.
  client.recreate();
  std::string reply;
  const bool finished = runOffUiThread([&](const StopSignal& stop) {
    UdpResult r = queryStatus(client, host, port, timeoutMs, &stop);
    if (r.ok()) reply = std::move(r.bytes);
  });
  // Cut short because the program is closing: no reply.
  return finished ? reply : std::string();
}

}  // namespace tarvix
