#include "app/ServerDiscoveryRefresh.h"

#include <QAction>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "app/core/ListStatus.h"
#include "components/Dialogs.h"
#include "components/IniSettings.h"
#include "components/QtText.h"
#include "store/Config.h"
#include "store/DataFile.h"
#include "store/ServerLists.h"
#include "store/Settings.h"

namespace tarvix {

namespace {

constexpr const char* kRefreshCaption = "refresh from master servers";
constexpr const char* kLanCaption = "find LAN servers";
// Listed servers asked at once: an internet list holds hundreds of servers,
// most of them silent, which one after the other would take minutes.
constexpr int kParallelQueries = 32;
// "Internet", "Internet 2", ... "Internet 99".
constexpr int kMaxListNumber = 99;

std::string baseName(ServerDiscoveryRefresh::Source source) {
  return source == ServerDiscoveryRefresh::Source::Internet ? "Internet" : "LAN";
}

QByteArray digestOf(std::string_view bytes) {
  return QCryptographicHash::hash(
             QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
             QCryptographicHash::Sha256)
      .toHex();
}

// A refresh may write over the list `name`: it has no file yet, or it is one
// a refresh wrote and still holds exactly what was written then. A fetched
// list the user changed since (a server added by hand, quick add or
// properties) becomes the user's; one recorded before digests were kept
// counts as unchanged.
bool mayWriteList(IniSettings& ini, const std::string& name) {
  const std::string path = serverListPathFor(name);
  if (!fileExists(path)) return true;
  if (!ini.isFetchedList(name)) return false;
  const QByteArray written = ini.fetchedListDigest(name);
  if (written.isEmpty()) return true;
  try {
    if (digestOf(readFile(path)) == written) return true;
  } catch (const std::exception&) {
    // Unreadable now: not ours to replace.
  }
  ini.forgetFetchedList(name);
  return false;
}

// Writes the list a refresh found and records it as fetched, with a digest
// of what was written; false after an error shown above `window`.
bool writeFetchedList(QWidget* window, const std::string& name,
                      const std::vector<std::string>& lines) {
  IniSettings ini;
  const std::string path = serverListPathFor(name);
  // Marked before the file exists, so a list it wrote is never taken for the user's.
  ini.addFetchedList(name);
  if (!showingErrors(window, [&] { replaceLines(path, lines); })) return false;
  try {
    ini.setFetchedListDigest(name, digestOf(readFile(path)));
  } catch (const std::exception&) {
    // Without a digest the list still counts as fetched and unchanged.
  }
  return true;
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
  internetAction_ = new QAction(kRefreshCaption, this);
  internetAction_->setObjectName("RefreshFromMastersAction");
  lanAction_ = new QAction(kLanCaption, this);
  lanAction_->setObjectName("FindLanServersAction");
  connect(internetAction_, &QAction::triggered, this, [this] { refresh(Source::Internet); });
  connect(lanAction_, &QAction::triggered, this, [this] { refresh(Source::Lan); });
}

ServerDiscoveryRefresh::~ServerDiscoveryRefresh() { task_.cancel(); }

std::string ServerDiscoveryRefresh::listNameFor(Source source) {
  IniSettings ini;
  const std::string base = baseName(source);
  for (int i = 1; i <= kMaxListNumber; ++i) {
    const std::string name = i == 1 ? base : base + " " + std::to_string(i);
    if (mayWriteList(ini, name)) return name;
  }
  return {};
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
  request.parallel = kParallelQueries;
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
                                     toQString(baseName(source)) + " " +
                                     QString::number(kMaxListNumber) +
                                     " is one of your own lists: the servers found were not "
                                     "saved.");
    emit finished();
    return;
  }
  const std::string path = serverListPathFor(name);
  if (path == settings_.serverListPath()) emit currentListReplacing();

  const std::vector<ServerEntry> entries = listEntriesFor(result);
  std::vector<std::string> lines;
  std::vector<std::string> names;
  for (const ServerEntry& e : entries) {
    lines.insert(lines.end(), {e.name, e.ip, e.port});
    names.push_back(e.name);
  }
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
