#pragma once
// The one pair of conversions between byte strings and QString, in the
// games' code page Windows-1252: every byte 0-255 survives a round trip
// through a window (the five bytes the code page leaves undefined become the
// control characters of the same value).
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "base/CodePage.h"

namespace tarvix {

inline QString toQString(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (char c : bytes)
    *out++ = QChar(static_cast<char16_t>(codePageToUnicode(static_cast<unsigned char>(c))));
  return text;
}

// The bytes of a text, or nullopt when it holds a character the code page
// cannot hold; that character is then put in *refused. Use it wherever typed
// text becomes file or datagram bytes, and refuse the text with
// codePageRefusal() instead of storing a stand-in.
inline std::optional<std::string> toCodePageBytes(const QString& text, QString* refused = nullptr) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t c : text.toUcs4()) {
    const std::optional<unsigned char> b = unicodeToCodePage(c);
    if (!b) {
      if (refused) *refused = QString::fromUcs4(&c, 1);
      return std::nullopt;
    }
    bytes.push_back(static_cast<char>(*b));
  }
  return bytes;
}

// The message for a character toCodePageBytes() refused.
inline QString codePageRefusal(const QString& character) {
  return "The character \"" + character +
         "\" cannot be stored: game servers and Tarvix's files hold only Windows-1252 text.";
}

// An error message for display. Its file names are the system's (UTF-8), or
// the code page's bytes for a name taken from the data: a message that is
// valid UTF-8 is read as UTF-8, any other in the code page.
inline QString errorText(std::string_view message) {
  const QByteArray bytes(message.data(), static_cast<qsizetype>(message.size()));
  return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : toQString(message);
}

// The bytes of a text; a character the code page cannot hold becomes '?'.
inline std::string toBytes(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t c : text.toUcs4())
    bytes.push_back(static_cast<char>(unicodeToCodePage(c).value_or('?')));
  return bytes;
}

}  // namespace tarvix
