#pragma once
// The address fields of the quick add and direct connect windows.
#include <QLineEdit>

namespace tarvix {

// Removes every blank from the field's text.
inline void removeBlanks(QLineEdit* edit) {
  QString text = edit->text();
  if (text.contains(' ')) edit->setText(text.remove(' '));
}

// "ip:port" typed into the IP field is split at the first colon: the rest
// goes to the port field. Text without a colon stays as it is.
inline void splitAddressField(QLineEdit* ip, QLineEdit* port) {
  const QString text = ip->text();
  const qsizetype colon = text.indexOf(':');
  if (colon < 0) return;
  ip->setText(text.left(colon));
  port->setText(text.mid(colon + 1));
}

}  // namespace tarvix
