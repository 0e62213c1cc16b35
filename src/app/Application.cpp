#include "app/Application.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <utility>

#include "admin/AddEntryWindow.h"
#include "admin/AdminConsole.h"
#include "admin/AdminLists.h"
#include "admin/AdminListWindow.h"
#include "admin/MapChangeWindow.h"
#include "app/BuddiesWindow.h"
#include "app/BuddyAlerter.h"
#include "app/ClanTagsWindow.h"
#include "app/CreditsWindow.h"
#include "app/Forms.h"
#include "app/EmptyListHint.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "app/core/ScanPass.h"
#include "base/BackgroundJobs.h"
#include "components/Placement.h"
#include "components/QtText.h"
#include "components/TrayIcon.h"
#include "lists/DirectConnectDialog.h"
#include "lists/OptionsWindow.h"
#include "lists/QuickAddDialog.h"
#include "lists/SearchWindow.h"
#include "lists/ServerPropertiesWindow.h"

namespace tarvix {

ProgramWindows& forms() {
  static ProgramWindows f;
  return f;
}

namespace {

// Creates one window and registers it where code not yet wired through this
// class still looks for it.
template <typename Window, typename... Args>
void create(std::unique_ptr<Window>& slot, Window*& registered, Args&&... args) {
  slot = std::make_unique<Window>(std::forward<Args>(args)...);
  registered = slot.get();
}

}  // namespace

Application::Application() {
  initResources();
  QFont font = QApplication::font();
  font.setPixelSize(11);
  QApplication::setFont(font);

  // No banner is chosen until Config names one.
  settings_.updateConfig([](Config& c) { c.bannerIndex.clear(); });

  ProgramWindows& f = forms();
  create(main_, f.Form1, settings_);
  create(buddies_, f.Form2);
  create(options_, f.Form3, settings_, *main_);
  create(clanTags_, f.Form4);
  create(search_, f.Form6, settings_, *main_->ListView3->model());
  create(credits_, f.Form8, settings_);
  create(console_, f.Form9, settings_);
  create(properties_, f.Form11, settings_);
  create(quickAdd_, f.Form13, settings_, *main_);
  create(directConnect_, f.Form17, settings_);
  mapChange_ = std::make_unique<MapChangeWindow>();
  addMap_ = std::make_unique<AddEntryWindow>(addMapSpec());
  banList_ = std::make_unique<AdminListWindow>(banListSpec());
  addBan_ = std::make_unique<AddEntryWindow>(addBanSpec());
  skinList_ = std::make_unique<AdminListWindow>(skinListSpec());
  addSkin_ = std::make_unique<AddEntryWindow>(addSkinSpec());
  messageList_ = std::make_unique<AdminListWindow>(messageListSpec());
  addMessage_ = std::make_unique<AddEntryWindow>(addMessageSpec());

  connectAppWindows();
  connectListsWindows();
  connectAdminWindows();
}

Application::~Application() {
  shutdown();
  // Members go in reverse order of creation; nothing may find a deleted window.
  forms() = ProgramWindows{};
}

void Application::show() { main_->show(); }

void Application::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  main_->shutdown();
  BackgroundJobs::instance().stopAll();
}

void Application::connectAppWindows() {
  // app windows
  QObject::connect(credits_.get(), &CreditsWindow::optionsRequested, options_.get(),
                   [this] { options_->show(); });

  attachEmptyListHint(main_->ListView3);

  // Buddy alerts go to the notification area, or without one to the status bar.
  buddyAlerter_ = std::make_unique<BuddyAlerter>([this](const QString& title, const QString& text) {
    if (!main_->Systray1->showNotification(title, text))
      main_->setStatusText(QString(text).replace('\n', "; "));
  });
  QObject::connect(main_.get(), &MainWindow::scanPassFinished, main_.get(), [this] {
    std::vector<HeadlessBuddy> hits;
    for (int i = 0; i < main_->ListView2->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* row = main_->ListView2->topLevelItem(i);
      hits.push_back({toBytes(row->text(0)), toBytes(row->text(1))});
    }
    buddyAlerter_->passFinished(hits);
  });
}

void Application::connectListsWindows() {
  // lists windows
  MainWindow* main = main_.get();
  OptionsWindow* options = options_.get();
  QObject::connect(options, &OptionsWindow::autoScanSwitched, main, &MainWindow::setAutoScan);
  QObject::connect(options, &OptionsWindow::scanStopRequested, main,
                   &MainWindow::ToolButton9Click);
  QObject::connect(options, &OptionsWindow::serverListCleared, main,
                   &MainWindow::clearServerList);
  QObject::connect(options, &OptionsWindow::serverListLoaded, main, &MainWindow::loadServerList);
  QObject::connect(options, &OptionsWindow::standardListReloaded, main,
                   &MainWindow::showStandardList);
  QObject::connect(options, &OptionsWindow::creditsRequested, credits_.get(),
                   [this] { credits_->show(); });

  QObject::connect(search_.get(), &SearchWindow::serverRowFound, main,
                   &MainWindow::selectServerRow);

  ServerPropertiesWindow* properties = properties_.get();
  QObject::connect(main, &MainWindow::DetailsShown, properties, [main, properties] {
    properties->showServerInfo({main->PropertiesAddress, main->PropertiesVersion,
                                main->PropertiesMapLines, main->linkCaption, main->linkTarget});
  });
  QObject::connect(main, &MainWindow::GraphReset, properties, [main, properties] {
    properties->resetPingGraph(main->GraphX, main->GraphPen);
  });
  QObject::connect(main->properties1, &QAction::triggered, properties,
                   &ServerPropertiesWindow::reopen);
  QObject::connect(properties, &ServerPropertiesWindow::mainWindowFocusRequested, main,
                   [main] { main->activateWindow(); });

  QuickAddDialog* quickAdd = quickAdd_.get();
  QObject::connect(quickAdd, &QuickAddDialog::serverAdded, main, &MainWindow::showAddedServer);
  QObject::connect(quickAdd, &QuickAddDialog::statusMessage, main, &MainWindow::setStatusText);

  DirectConnectDialog* directConnect = directConnect_.get();
  QObject::connect(directConnect, &DirectConnectDialog::serverChosen, main, [main] {
    main->cancelDetailsQuery();
    main->repaint();
  });
  QObject::connect(directConnect, &DirectConnectDialog::editionFound, main,
                   &MainWindow::showEdition);
  QObject::connect(directConnect, &DirectConnectDialog::connectRequested, main,
                   &MainWindow::ToolButton1Click);
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
    return ProgramStatus{main->VersionText, main->Timer1->isActive(), main->Scanning,
                         main->ScanThread ? main->ScanThread->threadId() : 0};
  });
  const auto showing = [](QWidget* window) { return [window] { showWindow(window); }; };
  QObject::connect(console, &AdminConsole::mapListRequested, maps, showing(maps));
  QObject::connect(console, &AdminConsole::banListRequested, banList_.get(), showing(banList_.get()));
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
  const std::pair<AdminListWindow*, AddEntryWindow*> lists[] = {{maps, addMap_.get()},
                                                                {banList_.get(), addBan_.get()},
                                                                {skinList_.get(), addSkin_.get()},
                                                                {messageList_.get(), addMessage_.get()}};
  for (const auto& [list, add] : lists) {
    QObject::connect(list, &AdminListWindow::newEntryRequested, add, showing(add));
    QObject::connect(add, &AddEntryWindow::entryAdded, list, &AdminListWindow::reshow);
  }
}

}  // namespace tarvix
