#include "app/Application.h"

#include <QApplication>
#include <QTreeWidget>

#include "admin/AddBanWindow.h"
#include "admin/AddMapWindow.h"
#include "admin/AddMessageWindow.h"
#include "admin/AddSkinWindow.h"
#include "admin/AdminConsole.h"
#include "admin/BanListWindow.h"
#include "admin/MapChangeWindow.h"
#include "admin/MessageListWindow.h"
#include "admin/SkinListWindow.h"
#include "app/BuddiesWindow.h"
#include "app/BuddyAlerter.h"
#include "app/ClanTagsWindow.h"
#include "app/CreditsWindow.h"
#include "app/Forms.h"
#include "app/EmptyListHint.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
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
  create(mapChange_, f.Form19);
  create(addMap_, f.Form20);
  create(banList_, f.Form21);
  create(addBan_, f.Form22);
  create(skinList_, f.Form23);
  create(addSkin_, f.Form24);
  create(messageList_, f.Form27);
  create(addMessage_, f.Form28);

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
}

void Application::connectAdminWindows() {
  // admin windows
}

}  // namespace tarvix
