#pragma once
// A line of help over a server view that has no rows: how to add the first
// server. It follows the view's rows and size by itself.
class QTreeWidget;

namespace tarvix {

inline constexpr const char* kEmptyListHint =
    "This server list is empty. To add a server, right-click here and choose "
    "\"add server\" (quick add), or \"refresh from master servers\" for the "
    "internet's servers, or open \"options\" and import a list "
    "(\"Import SSLF\", \"Import ASE\").";

// The hint is a child label of the view's viewport, named "EmptyListHint".
void attachEmptyListHint(QTreeWidget* view);

}  // namespace tarvix
