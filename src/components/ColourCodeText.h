#pragma once
// Names with colour codes ("^1Red^7 Army") outside a view's columns, while
// the colour-codes look is on: plain-text places (questions, status texts,
// notices) show them without their codes, a label draws them in colour.
// With the look off every text is shown as it came.
#include <QString>

class QLabel;

namespace tarvix {

// The colour-codes look is on (tarvix.ini).
bool colourCodesShown();
// `text` as a plain-text place shows it: without its codes while `coloured`.
QString plainName(const QString& text, bool coloured = colourCodesShown());
// Shows `text` in `label`: its runs in their colours while `coloured`, else
// as plain text.
void showName(QLabel* label, const QString& text, bool coloured);

}  // namespace tarvix
