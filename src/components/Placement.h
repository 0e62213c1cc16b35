#pragma once
#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace tarvix {

// Moves a window to the middle of the desktop.
inline void centreOnDesktop(QWidget* window) {
  if (QScreen* screen = QApplication::primaryScreen())
    window->move(screen->availableGeometry().center() - window->rect().center());
}

// Centres a window on the desktop when it is first shown, before its own
// show handling runs; later shows leave it where the user moved it.
void centreOnFirstShow(QWidget* window);

// Shows a window in front of the others and activates it; nothing when
// there is no window.
inline void showWindow(QWidget* window) {
  if (!window) return;
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace tarvix
