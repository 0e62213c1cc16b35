#pragma once
// A window's controls as a user finds them: by their objectName.
#include <QObject>
#include <QString>

namespace tarvix::test {

template <typename T>
T* partNamed(const QObject& window, const QString& name) {
  T* part = window.findChild<T*>(name);
  if (!part) qFatal("no control named %s", qPrintable(name));
  return part;
}

}  // namespace tarvix::test
