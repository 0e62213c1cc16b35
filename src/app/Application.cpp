#include "app/Application.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <utility>

#include "admin/AddEntryWindow.h"
#include "admin/AdminConsole.h"
#include "admin/AdminListWindow.h"
#include "admin/AdminLists.h"
#include "admin/MapChangeWindow.h"
#include "app/BuddiesWindow.h"
#include "app/BuddyAlerter.h"
#include "app/ClanTagsWindow.h"
#include "app/CreditsWindow.h"
#include "app/EmptyListHint.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "app/ServerDiscoveryRefresh.h"
#include "app/WatchRunner.h"
#include "app/WatchesWindow.h"
#include "app/core/ScanPass.h"
#include "base/BackgroundJobs.h"
#include "components/IniSettings.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/TrayIcon.h"
#include "components/WindowFit.h"
#include "components/WindowKeys.h"
#include "lists/AddToList.h"
#include "lists/DirectConnectDialog.h"
#include "lists/HistoryWindow.h"
#include "lists/MasterServersWindow.h"
#include "lists/OptionsWindow.h"
#include "lists/QuickAddDialog.h"
#include "lists/SearchWindow.h"
#include "lists/ServerPropertiesWindow.h"
#include "store/HistoryRecorder.h"

namespace tarvix {

namespace {

// A slot that shows `window` in front and activates it.
auto showing(QWidget* window) {
  return [window] { showWindow(window); };
}

}  // namespace

Application::Application(bool recordHistory) {
  initResources();
  QFont font = QApplication::font();
  font.setPixelSize(11);
  QApplication::setFont(font);

  // No banner is chosen until Config names one.
  settings_.updateConfig([](Config& c) { c.bannerIndex.clear(); });

  main_ = std::make_unique<MainWindow>(settings_);
  buddies_ = std::make_unique<BuddiesWindow>(*main_);
  options_ = std::make_unique<OptionsWindow>(settings_, *main_);
  clanTags_ = std::make_unique<ClanTagsWindow>(*main_);
  search_ = std::make_unique<SearchWindow>(
      settings_, main_->serverRows(),
      [main = main_.get()](int row) { return main->serverRowShown(row); });
  credits_ = std::make_unique<CreditsWindow>(settings_);
  console_ = std::make_unique<AdminConsole>(settings_);
  properties_ = std::make_unique<ServerPropertiesWindow>(settings_);
  quickAdd_ = std::make_unique<QuickAddDialog>(settings_, *main_);
  directConnect_ = std::make_unique<DirectConnectDialog>(settings_);
  mapChange_ = std::make_unique<MapChangeWindow>();
  addMap_ = std::make_unique<AddEntryWindow>(addMapSpec());
  banList_ = std::make_unique<AdminListWindow>(banListSpec());
  addBan_ = std::make_unique<AddEntryWindow>(addBanSpec());
  skinList_ = std::make_unique<AdminListWindow>(skinListSpec());
  addSkin_ = std::make_unique<AddEntryWindow>(addSkinSpec());
  messageList_ = std::make_unique<AdminListWindow>(messageListSpec());
  addMessage_ = std::make_unique<AddEntryWindow>(addMessageSpec());
  masterServers_ = std::make_unique<MasterServersWindow>();
  discovery_ = std::make_unique<ServerDiscoveryRefresh>(settings_, main_.get());
  watchesWindow_ = std::make_unique<WatchesWindow>();
  watchRunner_ = std::make_unique<WatchRunner>(settings_);

  historyWindow_ = std::make_unique<HistoryWindow>();
  QObject::connect(main_.get(), &MainWindow::historyRequested, historyWindow_.get(),
                   &HistoryWindow::showServer);
  if (recordHistory) {
    MainWindow* main = main_.get();
    history_ = std::make_shared<HistoryRecorder>(kHistoryFile, [main](const std::string& text) {
      QMetaObject::invokeMethod(
          main, [main, text] { main->setStatusText(toQString(text)); }, Qt::QueuedConnection);
    });
    main->setHistory(history_);
  }

  connectAppWindows();
  connectListsWindows();
  connectAdminWindows();
  connectServerDiscovery();
  connectWatches();
  fitAndKeyToolWindows();
}

void Application::fitAndKeyToolWindows() {
  QWidget* const windows[] = {
      buddies_.get(),       options_.get(),       clanTags_.get(),     search_.get(),
      credits_.get(),       properties_.get(),    quickAdd_.get(),     directConnect_.get(),
      mapChange_.get(),     addMap_.get(),        banList_.get(),      addBan_.get(),
      skinList_.get(),      addSkin_.get(),       messageList_.get(),  addMessage_.get(),
      masterServers_.get(), watchesWindow_.get(), historyWindow_.get()};
  for (QWidget* window : windows) {
    keepWithinScreen(window);
    closeOnEscape(window);
    setReadingTabOrder(window);
  }
  keepWithinScreen(console_.get());
  // The console's command line takes Escape first (AdminConsole).
  closeOnEscape(console_.get());
  setReadingTabOrder(console_.get());
}

Application::~Application() {
  shutdown();
  // Members go in reverse order of creation.
}

void Application::show() {
  main_->show();
  // Nothing contacts a master server at start unless the user turned it on.
  if (!shownBefore_ && IniSettings().refreshAtStart())
    discovery_->refresh(ServerDiscoveryRefresh::Source::Internet);
  shownBefore_ = true;
}

void Application::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  main_->shutdown();
  BackgroundJobs::instance().stopAll();
  main_->setHistory(nullptr);
  history_.reset();
}

void Application::connectAppWindows() {
  // app windows
  MainWindow* main = main_.get();
  QObject::connect(credits_.get(), &CreditsWindow::optionsRequested, options_.get(),
                   [this] { options_->show(); });
  QObject::connect(main, &MainWindow::buddiesRequested, buddies_.get(), showing(buddies_.get()));
  QObject::connect(main, &MainWindow::clanTagsRequested, clanTags_.get(), showing(clanTags_.get()));
  BuddiesWindow* buddies = buddies_.get();
  QObject::connect(main, &MainWindow::buddyAddRequested, buddies, &BuddiesWindow::appendBuddy);
  QObject::connect(buddies, &BuddiesWindow::buddyAppended, main, &MainWindow::showBuddyAdded);

  // Buddy alerts go to the notification area, or without one to the status bar.
  buddyAlerter_ = std::make_unique<BuddyAlerter>(
      [main](const QString& title, const QString& text) { main->notify(title, text); });
  QObject::connect(
      main, &MainWindow::scanPassFinished, main,
      [this](const std::vector<HeadlessBuddy>& hits) { buddyAlerter_->passFinished(hits); });
}

void Application::connectListsWindows() {
  // lists windows
  MainWindow* main = main_.get();
  OptionsWindow* options = options_.get();
  QObject::connect(options, &OptionsWindow::autoScanSwitched, main, &MainWindow::setAutoScan);
  QObject::connect(options, &OptionsWindow::scanStopRequested, main, &MainWindow::stopScan);
  QObject::connect(options, &OptionsWindow::serverListCleared, main, &MainWindow::clearServerList);
  QObject::connect(options, &OptionsWindow::serverListLoaded, main, &MainWindow::loadServerList);
  QObject::connect(options, &OptionsWindow::standardListReloaded, main,
                   &MainWindow::showStandardList);
  QObject::connect(options, &OptionsWindow::creditsRequested, credits_.get(),
                   [this] { credits_->show(); });
  QObject::connect(options, &OptionsWindow::browserLooksChanged, main,
                   &MainWindow::applyBrowserLooks);
  QObject::connect(options, &OptionsWindow::masterServersRequested, masterServers_.get(),
                   [this] { showWindow(masterServers_.get()); });

  QObject::connect(main, &MainWindow::optionsRequested, options, showing(options));

  SearchWindow* search = search_.get();
  QObject::connect(search, &SearchWindow::serverRowFound, main, &MainWindow::selectServerRow);
  QObject::connect(main, &MainWindow::searchRequested, search, showing(search));
  QObject::connect(main, &MainWindow::firstShown, search, &SearchWindow::primeWithServerOption);

  ServerPropertiesWindow* properties = properties_.get();
  properties->stayAbove(main);
  QObject::connect(main, &MainWindow::detailsShown, properties,
                   &ServerPropertiesWindow::showServerInfo);
  QObject::connect(main, &MainWindow::graphReset, properties,
                   &ServerPropertiesWindow::resetPingGraph);
  QObject::connect(main, &MainWindow::propertiesRequested, properties,
                   &ServerPropertiesWindow::reopen);
  QObject::connect(properties, &ServerPropertiesWindow::mainWindowFocusRequested, main,
                   [main] { main->activateWindow(); });
  QObject::connect(main, &MainWindow::propertiesRefreshRequested, properties, [main, properties] {
    if (!properties->isVisible()) return;
    properties->hide();
    properties->show();
    main->activateWindow();
  });
  for (auto gone : {&MainWindow::connectStarted, &MainWindow::selectedRowHidden})
    QObject::connect(main, gone, properties, [properties] {
      if (properties->isVisible()) properties->close();
    });
  // The Options window's field holds the password for the next connect; it
  // is empty until that window has been shown.
  main->setNextConnectPassword([options] { return options->password(); });

  QuickAddDialog* quickAdd = quickAdd_.get();
  QObject::connect(main, &MainWindow::quickAddRequested, quickAdd, showing(quickAdd));
  QObject::connect(quickAdd, &QuickAddDialog::serverAdded, main, &MainWindow::showAddedServer);
  QObject::connect(quickAdd, &QuickAddDialog::statusMessage, main, &MainWindow::setStatusText);

  DirectConnectDialog* directConnect = directConnect_.get();
  QObject::connect(main, &MainWindow::directConnectRequested, directConnect,
                   showing(directConnect));
  QObject::connect(directConnect, &DirectConnectDialog::serverChosen, main, [main] {
    main->cancelDetailsQuery();
    main->repaint();
  });
  QObject::connect(directConnect, &DirectConnectDialog::editionFound, main,
                   &MainWindow::showEdition);
  QObject::connect(directConnect, &DirectConnectDialog::connectRequested, main,
                   &MainWindow::connectToServer);
}

void Application::connectServerDiscovery() {
  MainWindow* main = main_.get();
  ServerDiscoveryRefresh* discovery = discovery_.get();
  main->addServerSearchActions({discovery->internetAction(), discovery->lanAction()});
  QObject::connect(main, &MainWindow::addToListRequested, main,
                   [this, main](const std::string& name) {
                     const QString done = addServerToList(main, settings_.serverListPath(), name);
                     if (!done.isEmpty()) main->setStatusText(done);
                   });
  QObject::connect(discovery, &ServerDiscoveryRefresh::statusMessage, main,
                   &MainWindow::setStatusText);
  QObject::connect(discovery, &ServerDiscoveryRefresh::serverFound, main,
                   &MainWindow::showFoundServer);
  QObject::connect(discovery, &ServerDiscoveryRefresh::refreshNote, main,
                   &MainWindow::showRefreshNote);
  QObject::connect(discovery, &ServerDiscoveryRefresh::finished, main,
                   &MainWindow::endFoundServers);
  QObject::connect(quickAdd_.get(), &QuickAddDialog::serverAdded, discovery,
                   [discovery](const std::string& name) { discovery->noteListEdit(name, true); });
  QObject::connect(main, &MainWindow::serverDeleted, discovery,
                   [discovery](const std::string& name) { discovery->noteListEdit(name, false); });
  // The scan reads the list a refresh is about to replace.
  QObject::connect(discovery, &ServerDiscoveryRefresh::currentListReplacing, main, [main] {
    if (main->scanRunning()) main->stopScan();
  });
  // As when a list is chosen in Options: shown afresh, then scanned.
  QObject::connect(discovery, &ServerDiscoveryRefresh::listFetched, main,
                   [main](const QString& name, const std::vector<std::string>& names) {
                     if (main->scanRunning()) main->stopScan();
                     main->clearServerList();
                     main->loadServerList(name, names);
                   });
}

void Application::connectAdminWindows() {
  // admin windows
  AdminConsole* console = console_.get();
  MapChangeWindow* maps = mapChange_.get();
  MainWindow* main = main_.get();
  QObject::connect(main, &MainWindow::remoteConsoleRequested, console,
                   &AdminConsole::openRemoteConsole);
  QObject::connect(main, &MainWindow::shuttingDown, console, &AdminConsole::stopWorkers);
  console->setProgramStatus([main] {
    return ProgramStatus{main->versionText(), main->autoScanRunning(), main->scanRunning(),
                         main->scanThreadId()};
  });
  QObject::connect(console, &AdminConsole::mapListRequested, maps, showing(maps));
  QObject::connect(console, &AdminConsole::banListRequested, banList_.get(),
                   showing(banList_.get()));
  QObject::connect(console, &AdminConsole::skinListRequested, skinList_.get(),
                   showing(skinList_.get()));
  QObject::connect(console, &AdminConsole::messagesRequested, messageList_.get(), &QWidget::show);
  QObject::connect(maps, &MapChangeWindow::mapChosen, console, &AdminConsole::changeMap);
  QObject::connect(console, &AdminConsole::mapChangeFinished, maps,
                   &MapChangeWindow::onMapChangeFinished);
  QObject::connect(maps, &MapChangeWindow::consoleFocusRequested, console,
                   &AdminConsole::focusCommandLine);
  QObject::connect(maps, &MapChangeWindow::hidden, console, qOverload<>(&QWidget::update));
  // Each list shows its add window, which reloads the list after an add.
  const std::pair<AdminListWindow*, AddEntryWindow*> lists[] = {
      {maps, addMap_.get()},
      {banList_.get(), addBan_.get()},
      {skinList_.get(), addSkin_.get()},
      {messageList_.get(), addMessage_.get()}};
  for (const auto& [list, add] : lists) {
    QObject::connect(list, &AdminListWindow::newEntryRequested, add, showing(add));
    QObject::connect(add, &AddEntryWindow::entryAdded, list, &AdminListWindow::reshow);
  }
}

}  // namespace tarvix
