#pragma once
// Buddy alerts: the buddy and clan-tag hits of a finished pass that the pass
// before it did not have, and the text that announces one.
#include <string>
#include <vector>

#include "app/core/HeadlessScan.h"

namespace tarvix {

// Hits of `current` (caption and server, compared exactly) missing from
// `previous`, in the order of `current`, each once.
std::vector<HeadlessBuddy> newBuddyHits(const std::vector<HeadlessBuddy>& previous,
                                        const std::vector<HeadlessBuddy>& current);

// "Sniper is on Alpha Busy Server", one line per hit.
std::string buddyAlertText(const std::vector<HeadlessBuddy>& hits);

}  // namespace tarvix
