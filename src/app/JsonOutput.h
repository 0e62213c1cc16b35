#pragma once
// The headless results as one JSON document each. Byte strings from servers
// and data files are converted from the data's code page.
#include <QByteArray>

#include "app/core/Headless.h"

namespace tarvix {

QByteArray queryJson(const QueryOutcome& query);
// `newHits`: the buddy rows the previous pass over the list did not have.
QByteArray scanJson(const ScanOutcome& scan, const std::vector<HeadlessBuddy>& newHits = {});

}  // namespace tarvix
