#pragma once
// File names are not data: a path from a file dialog or an edit is spelt in
// the system's file-name encoding (UTF-8 on Linux), never in the data code
// page, so a chosen "café.sslf" opens the file the user picked.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace tarvix {

inline std::string fileNameBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

inline QString fileNameText(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace tarvix
