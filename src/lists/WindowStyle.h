#pragma once
// The frame the small windows of the lists share: a fixed-size tool window
// with a title, a system menu and a close button.
#include <QPushButton>
#include <QWidget>

namespace tarvix {

inline void makeFixedToolWindow(QWidget* window, bool stayOnTop) {
  Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
  if (stayOnTop) flags |= Qt::WindowStaysOnTopHint;
  window->setWindowFlags(flags);
}

inline QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                               const QRect& geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  return button;
}

}  // namespace tarvix
