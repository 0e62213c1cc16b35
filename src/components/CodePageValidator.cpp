#include "components/CodePageValidator.h"

#include <QLineEdit>

#include "components/Dialogs.h"
#include "components/QtText.h"

namespace tarvix {

CodePageValidator::CodePageValidator(QLineEdit* edit) : QValidator(edit), edit_(edit) {}

QValidator::State CodePageValidator::validate(QString& input, int&) const {
  QString refused;
  if (toCodePageBytes(input, &refused)) return Acceptable;
  if (!refusalQueued_) {
    refusalQueued_ = true;
    // Shown after the key press is handled: a modal box inside the edit's
    // own input handling would run while the edit is half-way through it.
    QMetaObject::invokeMethod(
        const_cast<CodePageValidator*>(this),
        [this, refused] {
          refusalQueued_ = false;
          dialogs().showError(edit_->window(), codePageRefusal(refused));
        },
        Qt::QueuedConnection);
  }
  return Invalid;
}

void acceptCodePageOnly(std::initializer_list<QLineEdit*> edits) {
  for (QLineEdit* edit : edits) edit->setValidator(new CodePageValidator(edit));
}

}  // namespace tarvix
