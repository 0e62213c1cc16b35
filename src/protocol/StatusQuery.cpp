#include "protocol/StatusQuery.h"

namespace tarvix {

std::string statusRequest() {
  static const char bytes[] = "\xFF\xFF\xFF\xFF\x02getstatus\n";
  // sizeof includes the terminating zero, which is sent as part of the datagram.
  return std::string(bytes, sizeof bytes);
}

UdpResult queryStatus(UdpClient& client, std::string_view host, std::string_view port,
                      int timeoutMs, const StopSignal* stop) {
  if (stop && stop->requested()) {
    UdpResult r;
    r.outcome = UdpOutcome::Stopped;
    return r;
  }
  UdpResult sent = client.sendTo(host, port, statusRequest(), stop);
  if (!sent.ok()) return sent;
  return client.receive(timeoutMs, stop, ReplyFrom::Addressee);
}

}  // namespace tarvix
