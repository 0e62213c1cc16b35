#include "app/ServerDiscoveryRefresh.h"

#include <QAction>
#include <QCoreApplication>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "app/core/FetchedLists.h"
#include "app/core/ListStatus.h"
#include "app/core/ScanPass.h"
#include "components/Dialogs.h"
#include "components/IniFetchedLists.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "lists/AddToList.h"
#include "store/Config.h"
#include "store/ServerLists.h"
#include "store/Settings.h"

namespace tarvix {

namespace {

constexpr const char* kRefreshCaption = "refresh from master servers";
constexpr const char* kLanCaption = "find LAN servers";

std::string baseName(ServerDiscoveryRefresh::Source source) {
  return source == ServerDiscoveryRefresh::Source::Internet ? "Internet" : "LAN";
}

// Writes the list a refresh found; false after an error shown above `window`.
bool writeFetchedList(QWidget* window, const std::string& name,
                      const std::vector<std::string>& lines) {
  IniFetchedLists record;
  FetchedLists lists(record);
  return showingErrors(window, [&] { lists.write(name, lines); });
}

// The list at `path` becomes current now and at the next start.
void makeCurrentList(Settings& settings, const std::string& path) {
  settings.updateConfig([&path](Config& c) { c.serverListPath = path; });
  // Only line 2 of the stored Config changes; the rest is written as read.
  Config stored;
  try {
    readConfig(stored);
    stored.serverListPath = path;
    writeConfig(stored);
  } catch (const std::exception&) {
    // The list is current for this run; Config is written when Options hides.
  }
}

}  // namespace

ServerDiscoveryRefresh::ServerDiscoveryRefresh(Settings& settings, QWidget* window)
    : settings_(settings), window_(window) {
  // What older versions recorded is settled before anything reads it.
  IniFetchedLists record;
  FetchedLists settled(record);
  internetAction_ = new QAction(kRefreshCaption, this);
  internetAction_->setObjectName("RefreshFromMastersAction");
  lanAction_ = new QAction(kLanCaption, this);
  lanAction_->setObjectName("FindLanServersAction");
  connect(internetAction_, &QAction::triggered, this, [this] { refresh(Source::Internet); });
  connect(lanAction_, &QAction::triggered, this, [this] { refresh(Source::Lan); });
}

ServerDiscoveryRefresh::~ServerDiscoveryRefresh() { task_.cancel(); }

std::string ServerDiscoveryRefresh::listNameFor(Source source) {
  IniFetchedLists record;
  return FetchedLists(record).nameFor(baseName(source));
}

void ServerDiscoveryRefresh::noteListEdit(const std::string& serverName, bool added) {
  const std::string path = settings_.serverListPath();
  const QString list = toQString(listNameOf(path));
  IniFetchedLists record;
  if (!FetchedLists(record).isFetched(listNameOf(path))) return;
  const QString replaced = list + " is a fetched list: the next refresh replaces it.";
  emit statusMessage(replaced + " \"add to list...\" keeps a server in a list of your own.");
  if (added && dialogs().confirm(window_, replaced + "\nAdd " + toQString(serverName) +
                                              " to a list of your own too ?")) {
    const QString done = addServerToList(window_, path, serverName);
    if (!done.isEmpty()) emit statusMessage(done);
  }
}

DiscoveryRequest ServerDiscoveryRefresh::requestFor(Source source) const {
  const IniSettings ini;
  DiscoveryRequest request;
  if (source == Source::Internet) {
    request.masters = ini.masterAddresses();
    request.games = ini.discoveryGames();
  } else {
    request.lan = true;
    request.lanAddress = ini.lanAddress();
    const auto [first, last] = ini.lanPorts();
    setLanPorts(request, first, last);
  }
  request.timeoutMs = std::clamp(settings_.scanTimeout(), 250, 5000);
  // An internet list holds hundreds of servers, most of them silent.
  request.parallel = kDefaultParallelQueries;
  return request;
}

void ServerDiscoveryRefresh::refresh(Source source) {
  if (running_) {
    stop();
    return;
  }
  const DiscoveryRequest request = requestFor(source);
  if (source == Source::Internet && request.masters.empty()) {
    dialogs().showError(window_,
                        "No master server is set. Add one in \"options\", "
                        "\"master servers...\".");
    return;
  }
  source_ = source;
  setRunning(source, true);
  emit statusMessage(source == Source::Internet ? "asking the master servers..."
                                                : "looking for LAN servers...");
  const QPointer<ServerDiscoveryRefresh> self(this);
  const unsigned generation = generation_;
  const DiscoveryProgress progress = [self, generation](const std::string& text) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self, generation, text = toQString(text)] {
          if (self && self->running_ && self->generation_ == generation)
            emit self->statusMessage(text);
        },
        Qt::QueuedConnection);
  };
  task_ = runInBackground(
      this,
      [request, progress](const StopSignal& stop) {
        return discoverServers(request, stop, progress);
      },
      [this, source](DiscoveryResult result) { finish(source, result); });
}

void ServerDiscoveryRefresh::stop() {
  if (!running_) return;
  task_.cancel();
  setRunning(source_, false);
  emit statusMessage(source_ == Source::Internet ? "refresh from master servers stopped"
                                                 : "LAN search stopped");
  emit finished();
}

void ServerDiscoveryRefresh::setRunning(Source source, bool running) {
  running_ = running;
  ++generation_;
  QAction* own = source == Source::Internet ? internetAction_ : lanAction_;
  QAction* other = source == Source::Internet ? lanAction_ : internetAction_;
  internetAction_->setText(kRefreshCaption);
  lanAction_->setText(kLanCaption);
  if (running)
    own->setText(source == Source::Internet ? "stop refresh from master servers"
                                            : "stop finding LAN servers");
  other->setEnabled(!running);
  own->setEnabled(true);
}

void ServerDiscoveryRefresh::finish(Source source, const DiscoveryResult& result) {
  setRunning(source, false);
  const bool internet = source == Source::Internet;
  if (result.sourcesAnswered == 0) {
    // The last fetched list stays as it was.
    const QString text = internet ? "No master server answered." : "No LAN server answered.";
    emit statusMessage(text);
    if (internet) {
      QStringList lines{text};
      for (const std::string& m : result.messages) lines << toQString(m);
      dialogs().showError(window_, lines.join('\n'));
    }
    emit finished();
    return;
  }

  const std::string name = listNameFor(source);
  if (name.empty()) {
    dialogs().showError(window_, "Every list name from " + toQString(baseName(source)) + " to " +
                                     toQString(baseName(source)) +
                                     " 99 is one of your own lists: the servers found were not "
                                     "saved.");
    emit finished();
    return;
  }
  const std::string path = serverListPathFor(name);
  if (path == settings_.serverListPath()) emit currentListReplacing();

  const std::vector<std::string> lines = fetchedListLines(result);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < lines.size(); i += 3) names.push_back(lines[i]);
  if (!writeFetchedList(window_, name, lines)) {
    emit finished();
    return;
  }
  makeCurrentList(settings_, path);
  emit listFetched(toQString(name), names);
  QString text = toQString(serversInListText(names.size(), path));
  if (name != baseName(source))
    text += " (" + toQString(baseName(source)) + " is a list of your own)";
  if (!result.messages.empty())
    text += "; " + QString::number(result.messages.size()) +
            " sources failed: " + toQString(result.messages.front());
  emit statusMessage(text);
  emit finished();
}

}  // namespace tarvix
