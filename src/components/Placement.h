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

// Shows a window in front of the others and activates it; nothing when
// there is no window.
inline void showWindow(QWidget* window) {
  if (!window) return;
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace tarvix
