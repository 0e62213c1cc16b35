#pragma once
// --watch HOST:PORT PASSWORD: the anti-cheat pass and the announcer against
// one server, their log lines on standard output, until SIGINT or SIGTERM.
#include "admin/core/WatchDaemon.h"
#include "app/CommandLine.h"

namespace tarvix {

extern const ModeUnit watchMode;

}  // namespace tarvix
