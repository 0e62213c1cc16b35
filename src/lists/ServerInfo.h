#pragma once
#include <QString>
#include <QStringList>

namespace tarvix {

// What the main window's details show of the current server.
struct ServerInfo {
  QString address;  // address + ":" + port
  QString version;
  QStringList mapLines;
  QString linkCaption;
  QString linkTarget;
};

}  // namespace tarvix
