#pragma once
// The console's widgets, menus and timers: private to the console's files.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "admin/AdminConsole.h"

namespace tarvix {

struct AdminConsole::Ui {
  QLineEdit* rconPasswordEdit = nullptr;
  QCheckBox* detectSkinsCheckBox = nullptr;
  QCheckBox* checkBansCheckBox = nullptr;
  QCheckBox* showNextMapCheckBox = nullptr;
  QCheckBox* defaultServerCheckBox = nullptr;
  QTreeWidget* playerView = nullptr;
  // Draws the players' colour codes while that look is on.
  QAbstractItemDelegate* colourDelegate = nullptr;
  QLineEdit* commandLine = nullptr;
  QPlainTextEdit* consoleView = nullptr;
  QStatusBar* statusBar = nullptr;
  QLabel* statusPanel = nullptr;
  QTimer* antiCheatTimer = nullptr;
  QTimer* announcerTimer = nullptr;
  QAction* messagesAction = nullptr;  // shown only when "messages.txt" exists
};

}  // namespace tarvix
