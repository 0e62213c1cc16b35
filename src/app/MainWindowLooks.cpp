// The main window's opt-in looks, each kept in tarvix.ini and off unless the
// user turned it on in Options. None of them changes a row's texts, the
// server name list or the list file.
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "components/ColourCodeDelegate.h"
#include "components/IniSettings.h"

namespace tarvix {

void MainWindow::applyBrowserLooks() {
  const IniSettings ini;

  showFilterBar(ini.filterBar());
  // The country column stays last, whether "Ping" comes or goes.
  hideCountryColumn();
  showServerOrders(ini.pingColumn(), ini.numericPlayerSort());
  showCountryColumn(ini.countryColumn());
  showLastKnownResults(ini.lastKnownResults());

  // Colour codes drawn as colours in the host names, the player names and
  // the buddy hits; the items keep the codes, so searches, buddy matching,
  // copies and the files see the bytes as they came.
  const bool colours = ini.colourCodes();
  colourCodes_ = colours;
  if (colours && !colourDelegate_) colourDelegate_ = new ColourCodeDelegate(this);
  QAbstractItemDelegate* drawing = colours ? colourDelegate_ : nullptr;
  ui_->serverView->setItemDelegateForColumn(2, drawing);
  ui_->playerView->setItemDelegateForColumn(0, drawing);
  ui_->buddyView->setItemDelegateForColumn(0, drawing);
  ui_->buddyView->setItemDelegateForColumn(1, drawing);
  for (QTreeWidget* view : {ui_->serverView, ui_->playerView, ui_->buddyView})
    view->viewport()->update();
}

}  // namespace tarvix
