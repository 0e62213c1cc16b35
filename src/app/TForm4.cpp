#include "app/TForm4.h"

#include "store/NameLists.h"

namespace tarvix {

namespace {

const TNameListTexts kClantags{"Form4",
                               "Clantag's",
                               kClantagsFile,
                               "New Clantag",
                               nullptr,
                               "delete clantag",
                               "deleteclantag1",
                               "delete all clantags",
                               "deleteallclantags1"};

}  // namespace

TForm4::TForm4(QWidget* parent) : TNameListWindow(kClantags, true, parent) {}

}  // namespace tarvix
