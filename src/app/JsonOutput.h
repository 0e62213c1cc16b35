#pragma once
// The headless results as one JSON document each. Byte strings from servers
// and data files are converted from the data's code page.
#include <QByteArray>

class QJsonObject;

#include "app/core/Headless.h"

namespace tarvix {

// Every JSON document the program prints: indented, with DEL and the C1
// controls (U+0080 to U+009F), which a terminal may act on, written as
// \u00XX escapes like the other control characters.
QByteArray jsonDocument(const QJsonObject& root);

QByteArray queryJson(const QueryOutcome& query);
// `newHits`: the buddy rows the previous pass over the list did not have.
QByteArray scanJson(const ScanOutcome& scan, const std::vector<HeadlessBuddy>& newHits = {});

}  // namespace tarvix
