#pragma once
// The program's windows, created once at start-up and kept until it ends.
// Windows reach each other through this registry.

class QWidget;

namespace tarvix {

class MainWindow;
class BuddiesWindow;
class OptionsWindow;
class ClanTagsWindow;
class SearchWindow;
class CreditsWindow;
class AdminConsole;
class ServerPropertiesWindow;
class QuickAddDialog;
class DirectConnectDialog;
class MapChangeWindow;
class AddMapWindow;
class BanListWindow;
class AddBanWindow;
class SkinListWindow;
class AddSkinWindow;
class MessageListWindow;
class AddMessageWindow;

struct ProgramWindows {
  MainWindow* Form1 = nullptr;
  BuddiesWindow* Form2 = nullptr;
  OptionsWindow* Form3 = nullptr;
  ClanTagsWindow* Form4 = nullptr;
  SearchWindow* Form6 = nullptr;
  CreditsWindow* Form8 = nullptr;
  AdminConsole* Form9 = nullptr;
  ServerPropertiesWindow* Form11 = nullptr;
  QuickAddDialog* Form13 = nullptr;
  DirectConnectDialog* Form17 = nullptr;
  MapChangeWindow* Form19 = nullptr;
  AddMapWindow* Form20 = nullptr;
  BanListWindow* Form21 = nullptr;
  AddBanWindow* Form22 = nullptr;
  SkinListWindow* Form23 = nullptr;
  AddSkinWindow* Form24 = nullptr;
  MessageListWindow* Form27 = nullptr;
  AddMessageWindow* Form28 = nullptr;
};

ProgramWindows& forms();

// Creates the windows in the program's fixed order (the main window first),
// all hidden; DestroyForms deletes them in reverse order.
void createForms();
// Registers the compiled-in pictures and icons; CreateForms calls it.
void initResources();
void destroyForms();

// Shows a window in front of the others and activates it; nothing when
// there is no window.
void showWindow(QWidget* window);

}  // namespace tarvix
