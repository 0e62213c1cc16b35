#pragma once
// One status query from a window: the wait runs off the UI thread while a
// local event loop keeps every window working; the caller continues only
// when the reply is in (or the time-out has passed).
#include <string>

#include "protocol/UdpClient.h"

namespace tarvix {

// The client is re-created first (a new local port). Gives the reply bytes,
// or an empty string for no answer, a failure, or a wait cut short because
// the program is closing. `client` must not be used by anyone else meanwhile.
std::string waitForStatusReply(UdpClient& client, const std::string& host,
                               const std::string& port, int timeoutMs);

}  // namespace tarvix
