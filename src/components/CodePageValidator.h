#pragma once
// Typed text that goes to a file or a datagram must fit the data code page.
// The validator refuses an edit that would add a character the code page
// cannot hold: the field keeps its text and an error box above the field's
// window names the character, instead of the character being stored as '?'.
#include <QValidator>

class QLineEdit;

namespace tarvix {

class CodePageValidator : public QValidator {
  Q_OBJECT

 public:
  explicit CodePageValidator(QLineEdit* edit);
  State validate(QString& input, int& pos) const override;

 private:
  QLineEdit* edit_;
  // A refusal box is queued and not shown yet: one box per refused edit,
  // though Qt may validate the same text more than once.
  mutable bool refusalQueued_ = false;
};

// Installs a CodePageValidator on each edit.
void acceptCodePageOnly(std::initializer_list<QLineEdit*> edits);

}  // namespace tarvix
