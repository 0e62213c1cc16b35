#include "app/Application.h"

#include <QApplication>

#include "admin/AddEntryWindow.h"
#include "admin/AdminConsole.h"
#include "admin/AdminLists.h"
#include "admin/AdminListWindow.h"
#include "admin/MapChangeWindow.h"
#include "app/BuddiesWindow.h"
#include "app/ClanTagsWindow.h"
#include "app/CreditsWindow.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "base/BackgroundJobs.h"
#include "components/Placement.h"
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
template <typename Window>
void create(std::unique_ptr<Window>& slot, Window*& registered) {
  slot = std::make_unique<Window>();
  registered = slot.get();
}

}  // namespace

Application::Application() {
  initResources();
  QFont font = QApplication::font();
  font.setPixelSize(11);
  QApplication::setFont(font);

  ProgramWindows& f = forms();
  create(main_, f.Form1);
  create(buddies_, f.Form2);
  create(options_, f.Form3);
  create(clanTags_, f.Form4);
  create(search_, f.Form6);
  create(credits_, f.Form8);
  create(console_, f.Form9);
  create(properties_, f.Form11);
  create(quickAdd_, f.Form13);
  create(directConnect_, f.Form17);
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
}

void Application::connectListsWindows() {
  // lists windows
}

void Application::connectAdminWindows() {
  // admin windows
  AdminConsole* console = console_.get();
  MapChangeWindow* maps = mapChange_.get();
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
