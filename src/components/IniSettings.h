#pragma once
// The settings of "tarvix.ini" (app/core/IniSettingsCore) with the window's
// own: the file dialogs' folder, the windows' sizes and places, and the
// digests of fetched lists as QByteArray.
#include <QByteArray>
#include <QString>
#include <string_view>

#include "app/core/IniSettingsCore.h"

namespace tarvix {

class IniSettings : public IniSettingsCore {
 public:
  // A relative path is taken in the data folder (the current directory).
  explicit IniSettings(const QString& path = QString::fromLatin1(kIniSettingsFile));

  // Where the file dialogs open: the folder of the last file chosen; empty
  // before the first.
  QString fileDialogFolder() const;
  void setFileDialogFolder(const QString& folder);

  // A digest of the bytes a refresh wrote to the list (fetchedListDigestBytes).
  QByteArray fetchedListDigest(std::string_view listName) const;
  void setFetchedListDigest(std::string_view listName, const QByteArray& digest);

  // A window's last size, position and state (QWidget::saveGeometry) under
  // its objectName; empty until it was first closed.
  QByteArray windowGeometry(const QString& window) const;
  void setWindowGeometry(const QString& window, const QByteArray& geometry);
};

}  // namespace tarvix
