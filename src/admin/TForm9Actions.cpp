// The player list's actions, the picture buttons, the check boxes and the
// interval items of the console.
#include "admin/TForm9.h"

namespace tarvix {

void TForm9::refresh1Click() {}
void TForm9::kick1Click() {}
void TForm9::banplayer1Click() {}
void TForm9::banip1Click() {}
void TForm9::Button4Click() {}
void TForm9::restart1x1Click() {}
void TForm9::restart3x1Click() {}
void TForm9::crash1Click() {}
void TForm9::BitBtn1Click() {}
void TForm9::BitBtn2Click() {}
void TForm9::BitBtn3Click() {}
void TForm9::messages1Click() {}
void TForm9::CheckBox1Click() {}
void TForm9::CheckBox3Click() {}
void TForm9::CheckBox4Click() {}
void TForm9::CheckBox2Click() {}
void TForm9::scanInterval(int, const QString&) {}
void TForm9::displayInterval(int, const QString&) {}

}  // namespace tarvix
