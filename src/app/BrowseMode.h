#pragma once
// --browse: the servers the master servers list (and the LAN, with --lan),
// each asked for its status, printed as scan rows, as address lines
// (--list-only) or as JSON; --save LIST writes those that answered into a list.
#include <string>

#include "app/CommandLine.h"
#include "app/core/HeadlessBrowse.h"

namespace tarvix {

extern const ModeUnit browseMode;

// The JSON document of a finished browse.
std::string browseJson(const BrowseOutcome& browse);

}  // namespace tarvix
