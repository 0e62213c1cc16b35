#pragma once
// Blocking network work started from a window: the job runs on its own thread
// while a local event loop keeps every window working.
#include <functional>

#include "protocol/UdpClient.h"

namespace tarvix {

// Runs `job` on a new thread and waits for it in a local event loop. Returns
// true when the job finished; false when the loop was ended early (the
// program is quitting): the job's stop signal is then requested and the job
// joined before returning.
bool runOffUiThread(const std::function<void(const StopSignal& stop)>& job);

}  // namespace tarvix
