#include "app/ServerDiscoveryRefresh.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "app/core/FetchedLists.h"
#include "app/core/HeadlessBrowse.h"
#include "app/core/IniFetchedLists.h"
#include "app/core/ListStatus.h"
#include "app/core/ScanPass.h"
#include "base/Text.h"
#include "components/Dialogs.h"
#include "components/FileNames.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "lists/AddToList.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"
#include "store/Settings.h"

namespace tarvix {

namespace {

constexpr const char* kRefreshCaption = "refresh from master servers";
constexpr const char* kLanCaption = "find LAN servers";

std::string baseName(ServerDiscoveryRefresh::Source source) {
  return source == ServerDiscoveryRefresh::Source::Internet ? "Internet" : "LAN";
}

// Writes the list a refresh found; the reason, with the file's absolute
// path, when it cannot be written.
QString writeFetchedList(const std::string& name, const std::vector<std::string>& lines) {
  IniFetchedLists record;
  FetchedLists lists(record);
  try {
    lists.write(name, lines);
    return {};
  } catch (const FileError& e) {
    const QString where = QDir::current().absoluteFilePath(fileNameText(dataPath(e.path())));
    return "The servers found could not be saved in " + where + ": " +
           QString::fromLocal8Bit(std::strerror(e.error()));
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  }
}

// The name a found server's row has until the list is written.
QString foundName(const FoundServer& s) {
  const std::string name = escapeControls(s.hostName);
  return toQString(isBlank(name) ? s.ip + ":" + std::to_string(s.gamePort) : name);
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
  found_.clear();
  setRunning(source, true);
  emit refreshNote({});
  emit statusMessage(source == Source::Internet ? "asking the master servers..."
                                                : "looking for LAN servers...");
  const QPointer<ServerDiscoveryRefresh> self(this);
  const unsigned generation = generation_;
  // Runs `apply` on the UI thread while this search is still the running one.
  auto post = [self, generation](auto apply) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self, generation, apply = std::move(apply)] {
          if (self && self->running_ && self->generation_ == generation) apply(*self);
        },
        Qt::QueuedConnection);
  };
  const DiscoveryProgress progress = [post](const std::string& text) {
    post([text = toQString(text)](ServerDiscoveryRefresh& r) { emit r.statusMessage(text); });
  };
  const DiscoveryFound found = [post](const FoundServer& server) {
    if (server.answered) post([server](ServerDiscoveryRefresh& r) { r.showFound(server); });
  };
  task_ = runInBackground(
      this,
      [request, progress, found](const StopSignal& stop) {
        return discoverServers(request, stop, progress, found);
      },
      [this, source](DiscoveryResult result) { finish(source, result); });
}

void ServerDiscoveryRefresh::showFound(const FoundServer& server) {
  found_.push_back(server);
  DiscoveryResult one;
  one.servers = {server};
  emit serverFound(foundName(server), browseRows(one).rows.front());
}

void ServerDiscoveryRefresh::stop() {
  if (!running_) return;
  task_.cancel();
  const Source source = source_;
  setRunning(source, false);
  const QString stopped =
      source == Source::Internet ? "refresh from master servers stopped" : "LAN search stopped";
  DiscoveryResult kept;
  kept.servers = std::move(found_);
  found_.clear();
  if (kept.servers.empty()) {
    emit statusMessage(stopped);
  } else {
    save(source, kept, stopped + ": ");
    // Beside the status text, which the scan of the list takes over.
    emit refreshNote(stopped + ": the " + QString::number(kept.servers.size()) +
                     " servers found so far are kept");
  }
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
  found_.clear();
  if (result.sourcesAnswered == 0)
    reportNoSource(source, result);
  else
    save(source, result, {});
  emit finished();
}

void ServerDiscoveryRefresh::reportNoSource(Source source, const DiscoveryResult& result) {
  // Said once when no master could be reached at all; otherwise each source
  // that failed, what happened and what to try.
  QStringList lines;
  if (!result.summary.empty()) {
    lines << toQString(result.summary);
  } else {
    lines << QString(source == Source::Internet ? "No master server answered."
                                                : "No LAN server answered.") +
                 " The last fetched list is kept.";
    for (const SourceFailure& f : result.failures)
      lines << toQString(f.line() + (f.advice.empty() ? "" : ". " + f.advice));
  }
  emit statusMessage(lines.front());
  dialogs().showError(window_, lines.join('\n'));
}

void ServerDiscoveryRefresh::save(Source source, const DiscoveryResult& result,
                                  const QString& prefix) {
  if (!result.failures.empty())
    emit refreshNote(QString::number(result.failures.size()) +
                     " sources failed: " + toQString(result.failures.front().line()));
  const std::vector<std::string> lines = fetchedListLines(result);
  if (lines.empty()) {
    emit statusMessage(prefix + "No server answered. The last fetched list is kept.");
    return;
  }
  const std::string name = listNameFor(source);
  if (name.empty()) {
    const QString base = toQString(baseName(source));
    dialogs().showError(window_, "Every list name from " + base + " to " + base +
                                     " 99 is one of your own lists: the servers found were not "
                                     "saved.");
    return;
  }
  const std::string path = serverListPathFor(name);
  if (path == settings_.serverListPath()) emit currentListReplacing();
  if (const QString problem = writeFetchedList(name, lines); !problem.isEmpty()) {
    // The servers found stay on screen.
    emit statusMessage(problem);
    dialogs().showError(window_, problem);
    return;
  }
  makeCurrentList(settings_, path);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < lines.size(); i += 3) names.push_back(lines[i]);
  emit listFetched(toQString(name), names);
  QString text = prefix + toQString(serversInListText(names.size(), path));
  if (name != baseName(source))
    text += " (" + toQString(baseName(source)) + " is a list of your own)";
  emit statusMessage(text);
}

}  // namespace tarvix
