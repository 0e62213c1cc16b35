#include <QApplication>

#include "admin/MapChangeWindow.h"
#include "admin/AddMapWindow.h"
#include "admin/BanListWindow.h"
#include "admin/AddBanWindow.h"
#include "admin/SkinListWindow.h"
#include "admin/AddSkinWindow.h"
#include "admin/MessageListWindow.h"
#include "admin/AddMessageWindow.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/BuddiesWindow.h"
#include "app/ClanTagsWindow.h"
#include "app/CreditsWindow.h"
#include "admin/AdminConsole.h"
#include "lists/ServerPropertiesWindow.h"
#include "lists/QuickAddDialog.h"
#include "lists/DirectConnectDialog.h"
#include "lists/OptionsWindow.h"
#include "lists/SearchWindow.h"

namespace tarvix {

ProgramWindows& forms() {
  static ProgramWindows f;
  return f;
}

void showWindow(QWidget* window) {
  if (!window) return;
  window->show();
  window->raise();
  window->activateWindow();
}

void createForms() {
  initResources();
  QFont font = QApplication::font();
  font.setPixelSize(11);
  QApplication::setFont(font);
  ProgramWindows& f = forms();
  f.Form1 = new MainWindow();
  f.Form2 = new BuddiesWindow();
  f.Form3 = new OptionsWindow();
  f.Form4 = new ClanTagsWindow();
  f.Form6 = new SearchWindow();
  f.Form8 = new CreditsWindow();
  f.Form9 = new AdminConsole();
  f.Form11 = new ServerPropertiesWindow();
  f.Form13 = new QuickAddDialog();
  f.Form17 = new DirectConnectDialog();
  f.Form19 = new MapChangeWindow();
  f.Form20 = new AddMapWindow();
  f.Form21 = new BanListWindow();
  f.Form22 = new AddBanWindow();
  f.Form23 = new SkinListWindow();
  f.Form24 = new AddSkinWindow();
  f.Form27 = new MessageListWindow();
  f.Form28 = new AddMessageWindow();
}

void destroyForms() {
  ProgramWindows& f = forms();
  delete f.Form28;
  delete f.Form27;
  delete f.Form24;
  delete f.Form23;
  delete f.Form22;
  delete f.Form21;
  delete f.Form20;
  delete f.Form19;
  delete f.Form17;
  delete f.Form13;
  delete f.Form11;
  delete f.Form9;
  delete f.Form8;
  delete f.Form6;
  delete f.Form4;
  delete f.Form3;
  delete f.Form2;
  delete f.Form1;
  f = ProgramWindows{};
}

}  // namespace tarvix
