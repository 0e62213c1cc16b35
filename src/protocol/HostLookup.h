#pragma once
// Host name look-up that a stop request interrupts. A dotted IPv4 address is
// parsed at once; a name is looked up on a helper thread while the caller
// waits for the answer or the stop, whichever comes first, so a name server
// that never answers cannot hold up "stop".
#include <netinet/in.h>

#include <functional>
#include <string>

#include "base/StopSignal.h"

namespace tarvix {

enum class LookupOutcome { Found, Failed, Stopped };

struct HostAddress {
  LookupOutcome outcome = LookupOutcome::Failed;
  in_addr address{};
  std::string error;  // set when Failed
};

// The blocking look-up of a name (not a dotted address): fills `address` and
// returns true, or sets `error`. The program's is getaddrinfo.
using BlockingLookup =
    std::function<bool(const std::string& host, in_addr& address, std::string& error)>;

// Replaces the blocking look-up for tests; an empty function restores getaddrinfo.
void setBlockingLookup(BlockingLookup lookup);

// Without a stop signal the name is looked up on the calling thread.
HostAddress lookupHost(const std::string& host, const StopSignal* stop);

}  // namespace tarvix
