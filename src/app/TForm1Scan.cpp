#include "app/TForm1.h"

namespace tarvix {

// "scan now": the scan pass is not wired to the window yet.
void TForm1::ToolButton3Click() {}

}  // namespace tarvix
