#include "lists/AddToList.h"

#include <QStringList>

#include "components/ColourCodeText.h"
#include "components/Dialogs.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "store/ServerLists.h"

namespace tarvix {

QString addServerToList(QWidget* parent, const std::string& currentListPath,
                        const std::string& serverName) {
  const IniSettings ini;
  const std::string current = listNameOf(currentListPath);
  QStringList lists;
  for (const std::string& name : listServerLists()) {
    if (name == current || ini.isFetchedList(name)) continue;
    lists << toQString(name);
  }
  if (lists.isEmpty()) {
    dialogs().showMessage(parent, "There is no list of your own to add the server to.");
    return {};
  }
  // The server's name as questions show it.
  const QString shown = plainName(toQString(serverName));
  ServerAddress address;
  if (!showingErrors(parent, [&] { address = lookupServer(currentListPath, serverName); }))
    return {};
  if (address.ip.empty()) {
    dialogs().showError(parent, shown + " is not in the current list.");
    return {};
  }
  const QString chosen = dialogs().chooseItem(parent, "Add " + shown + " to the list:", lists);
  if (chosen.isEmpty()) return {};
  const std::string target = serverListPathFor(toBytes(chosen));
  bool present = false;
  if (!showingErrors(parent, [&] {
        for (const std::string& name : readServerNames(target))
          present = present || name == serverName;
        if (!present) appendServer(target, serverName, address.ip, address.port);
      }))
    return {};
  if (present) {
    dialogs().showMessage(parent,
                          "The list " + chosen + " already has a server named " + shown + ".");
    return {};
  }
  return toQString(serverName) + " added to the list " + chosen;
}

}  // namespace tarvix
