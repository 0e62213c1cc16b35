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

}  // namespace tarvix
