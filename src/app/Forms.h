#pragma once
// Being replaced: windows still reach each other through this registry,
// which Application fills as it creates them.

#include "app/Resources.h"
#include "components/Placement.h"

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
};

ProgramWindows& forms();

}  // namespace tarvix
