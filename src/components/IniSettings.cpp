#include "components/IniSettings.h"

#include <QFile>

namespace tarvix {

namespace {

constexpr const char* kFileDialogFolderKey = "FileDialogs/folder";

std::string windowKey(const QString& window) { return "windows/" + window.toStdString(); }

}  // namespace

IniSettings::IniSettings(const QString& path)
    : IniSettingsCore(QFile::encodeName(path).toStdString()) {}

QString IniSettings::fileDialogFolder() const {
  return QString::fromStdString(read().text(kFileDialogFolderKey).value_or(""));
}

void IniSettings::setFileDialogFolder(const QString& folder) {
  update([&](IniFile& ini) { ini.setText(kFileDialogFolderKey, folder.toStdString()); });
}

QByteArray IniSettings::fetchedListDigest(std::string_view listName) const {
  return QByteArray::fromStdString(fetchedListDigestBytes(listName));
}

void IniSettings::setFetchedListDigest(std::string_view listName, const QByteArray& digest) {
  setFetchedListDigestBytes(listName, digest.toStdString());
}

QByteArray IniSettings::windowGeometry(const QString& window) const {
  return QByteArray::fromStdString(read().bytes(windowKey(window)).value_or(""));
}

void IniSettings::setWindowGeometry(const QString& window, const QByteArray& geometry) {
  update([&](IniFile& ini) { ini.setBytes(windowKey(window), geometry.toStdString()); });
}

}  // namespace tarvix
