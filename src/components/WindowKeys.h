#pragma once
// Keys every tool window and dialog shares: Escape closes it, Enter presses
// its main button, Tab walks its controls in reading order.
#include <initializer_list>

class QAbstractButton;
class QWidget;

namespace tarvix {

// Escape that no control of `window` used closes it.
void closeOnEscape(QWidget* window);

// Enter or Return that no control used presses the push button that has
// the focus, or else `button` (when it is shown and enabled); not while the
// focus is in one of `except`, whose Enter means something of its own.
void pressOnEnter(QWidget* window, QAbstractButton* button,
                  std::initializer_list<const QWidget*> except = {});

// Tab order of the window's controls: top to bottom, left to right within a
// row, a group's controls together in the group's place.
void setReadingTabOrder(QWidget* window);

}  // namespace tarvix
