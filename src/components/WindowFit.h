#pragma once
// No window larger than the screen: whatever the font size or scale, a
// window that would not fit the screen's available area is made resizable
// and shrunk to fit, so its title bar and edges stay reachable.
class QWidget;

namespace tarvix {

// Fits `window` each time it is shown (see fitWithinScreen). A window that
// fits keeps its size and look.
void keepWithinScreen(QWidget* window);

// Once, now: a window larger than its screen's available area (less its
// frame) becomes resizable and takes the largest size that fits, centred on
// the screen; a window without a layout then scrolls its content, which
// keeps its size. A window that fits is only moved, where needed, to lie
// within the area. True when the window was shrunk.
bool fitWithinScreen(QWidget* window);

}  // namespace tarvix
