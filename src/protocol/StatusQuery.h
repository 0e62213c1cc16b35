#pragma once
// The status query: one 16-byte request, at most one reply datagram.
#include <string>
#include <string_view>

#include "protocol/UdpClient.h"

namespace tarvix {

// FF FF FF FF 02 "getstatus" 0A 00
std::string statusRequest();

// Sends the status request once to host:port on `client` (opening its socket
// if it is not open; callers that need a fresh socket re-create it first) and
// reads at most one datagram from host:port within timeoutMs (a datagram
// from anywhere else is dropped). The reply is in `bytes` when the outcome is
// Ok; every other outcome counts as an empty reply. The stop signal also ends
// a host name look-up.
UdpResult queryStatus(UdpClient& client, std::string_view host, std::string_view port,
                      int timeoutMs, const StopSignal* stop = nullptr);

}  // namespace tarvix
