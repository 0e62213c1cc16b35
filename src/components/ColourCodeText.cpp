#include "components/ColourCodeText.h"

#include <QLabel>

#include "base/ColourCodes.h"
#include "components/ColourCodeDelegate.h"
#include "components/IniSettings.h"
#include "components/QtText.h"

namespace tarvix {

bool colourCodesShown() { return IniSettings().colourCodes(); }

QString plainName(const QString& text, bool coloured) {
  return coloured ? toQString(withoutColourCodes(toBytes(text))) : text;
}

void showName(QLabel* label, const QString& text, bool coloured) {
  if (!coloured) {
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return;
  }
  QString html;
  for (const auto& [run, colour] : colouredRuns(text)) {
    const QString piece = run.toHtmlEscaped().replace(' ', "&nbsp;");
    html += colour.isValid() ? "<span style=\"color:" + colour.name() + "\">" + piece + "</span>"
                             : piece;
  }
  label->setTextFormat(Qt::RichText);
  label->setText(html);
}

}  // namespace tarvix
