#include "app/ClanTagsWindow.h"

#include "store/NameLists.h"

namespace tarvix {

namespace {

const NameListTexts kClantags{
    "Form4",          "Clantag's",      kClantagsFile,         "New Clantag",       nullptr,
    "delete clantag", "deleteclantag1", "delete all clantags", "deleteallclantags1"};

}  // namespace

ClanTagsWindow::ClanTagsWindow(const ScanState& scan, QWidget* parent)
    : NameListWindow(kClantags, true, scan, parent) {}

}  // namespace tarvix
