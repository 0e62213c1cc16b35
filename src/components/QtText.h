#pragma once
// The one pair of conversions between byte strings and QString: Latin-1, so
// every byte 0-255 survives a round trip through a window.
#include <QString>
#include <string>
#include <string_view>

namespace tarvix {

inline QString toQString(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string toBytes(const QString& text) {
  QByteArray b = text.toLatin1();
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

}  // namespace tarvix
