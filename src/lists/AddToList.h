#pragma once
// "add to list...": copies a server of the current list (a fetched one, as a
// rule) into one of the user's own lists.
#include <QString>
#include <string>

class QWidget;

namespace tarvix {

// Offers the user's lists (every list but the fetched ones and the current
// one) and appends the server `serverName` of the list at `currentListPath`
// to the one chosen. Refuses, with a box above `parent`, a server the
// current list does not hold and a name the chosen list already has.
// Returns the status bar text of a copy made; empty when nothing was added.
QString addServerToList(QWidget* parent, const std::string& currentListPath,
                        const std::string& serverName);

}  // namespace tarvix
