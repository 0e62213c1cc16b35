#pragma once
// MainWindow's controls and their state, shared by its source files.
#include <array>

#include "app/MainWindow.h"

namespace tarvix {

// Controls; each keeps its code name as its objectName.
struct MainWindow::Ui {
  QToolBar* toolBar = nullptr;
  QToolButton* scanNowButton = nullptr;
  QToolButton* stopScanButton = nullptr;
  QToolButton* searchButton = nullptr;
  QToolButton* connectButton = nullptr;
  QToolButton* directConnectButton = nullptr;
  QToolButton* buddiesButton = nullptr;
  QToolButton* clanTagsButton = nullptr;
  QToolButton* remoteConsoleButton = nullptr;  // "r-con"
  QToolButton* optionsButton = nullptr;
  QComboBox* serverNameList = nullptr;  // hidden: the names of the current list
  // Config's banner choice "0" to "3" shows one of them.
  std::array<QLabel*, 4> bannerImages{};
  QLabel* playerCountLabel = nullptr;  // "Players: 3/16"
  QLabel* mapLabel = nullptr;
  QLabel* hostNameLabel = nullptr;
  QLabel* editionLabel = nullptr;
  QTreeWidget* playerView = nullptr;
  QTreeWidget* buddyView = nullptr;
  QTreeWidget* serverView = nullptr;
  QSplitter* viewSplitter = nullptr;  // the player and buddy views above, servers below
  QProgressBar* scanProgress = nullptr;
  QStatusBar* statusLine = nullptr;
  QLabel* statusPanel = nullptr;  // the status bar's one panel
  QLabel* refreshNote = nullptr;  // made by the first refresh with a note
  QTimer* autoScanTimer = nullptr;
  QMenu* playerMenu = nullptr;  // the player view's right-click menu
  QAction* addToBuddiesAction = nullptr;
  QAction* connectWithServerAction = nullptr;
  QMenu* serverMenu = nullptr;  // the server view's right-click menu
  QAction* remoteConsoleAction = nullptr;
  QAction* propertiesAction = nullptr;
  QAction* addServerAction = nullptr;
  QAction* deleteServerAction = nullptr;
  QAction* scanNowAction = nullptr;
  QAction* searchAction = nullptr;
  QAction* connectAction = nullptr;
  QAction* directConnectAction = nullptr;
  QMenu* trayMenu = nullptr;  // the tray icon's menu
  QAction* trayOptionsAction = nullptr;
  QAction* trayScanNowAction = nullptr;
  QAction* trayExitAction = nullptr;
  TrayIcon* trayIcon = nullptr;
};

struct MainWindow::FilterBar {
  QWidget* bar = nullptr;  // "FilterBar"
  QCheckBox* hideEmpty = nullptr;
  QCheckBox* hideFull = nullptr;
  QCheckBox* hideNoResponse = nullptr;
  QLineEdit* text = nullptr;  // server name, map or player
  bool countShown = false;    // the status bar says "N of M servers shown"
};

}  // namespace tarvix
