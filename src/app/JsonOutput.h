#pragma once
// The headless results as one JSON document each. Byte strings from servers
// and data files are converted from the data's code page.
#include <QByteArray>

#include "app/core/Headless.h"

namespace tarvix {

QByteArray queryJson(const QueryOutcome& query);
QByteArray scanJson(const ScanOutcome& scan);

}  // namespace tarvix
