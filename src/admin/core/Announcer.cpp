#include "admin/core/Announcer.h"

#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "protocol/Rcon.h"
#include "protocol/StatusQuery.h"
#include "protocol/StatusReply.h"
#include "store/DataFile.h"
#include "store/NameLists.h"

namespace tarvix {

namespace {

// A socket or file failure of the pass.
struct Failure {};
// No rcon password: the pass ends after showing the maps.
struct NoPassword {};

std::string withoutBlanks(std::string s) {
  std::erase(s, ' ');
  return s;
}

}  // namespace

MapCycle readMapCycle(std::string_view reply) {
  MapCycle m;
  // Values end at a backslash or at the end of the info line.
  m.currentMap = withoutBlanks(keyValue(reply, kMapNameKey));
  const std::string rotation = keyValue(reply, kMapListKey);

  bool first = true;
  bool afterCurrent = false;
  auto take = [&](const std::string& name) {
    if (first) m.firstMap = name;
    first = false;
    if (afterCurrent) m.nextMap = name;
    afterCurrent = name == m.currentMap;
  };
  std::string name;
  for (char c : rotation) {
    if (c == ' ') {
      take(name);
      name.clear();
    } else {
      name.push_back(c);
    }
  }
  if (!name.empty()) take(name);

  if (m.nextMap.empty()) m.nextMap = m.firstMap;
  return m;
}

Announcer::~Announcer() { shutdown(); }

bool Announcer::sendDatagram(const std::string& datagram) {
  return touch([&] { return client_.send(datagram).ok(); });
}

void Announcer::pass() {
  log(LogKind::MapLog, "mapcheck @ " + headerTime());
  touch([&] { view_->setStatusText("checking mapcycle..."); });

  try {
    if (!client_.recreate()) throw Failure{};
    // Looked up once, outside the guard, so that a stop never waits for a
    // name server; every later send uses the result.
    if (client_.resolveServer(&stopSignal()).outcome == UdpOutcome::Stopped) throw Stopped{};
    UdpResult reply = touch([&] { return client_.send(statusRequest()); });
    if (reply.ok())
      reply =
          client_.receive(scaled(kAnnouncerStatusTimeoutMs), &stopSignal(), ReplyFrom::Addressee);
    if (reply.outcome == UdpOutcome::Stopped) throw Stopped{};
    if (reply.failed()) throw Failure{};
    const std::string text = reply.ok() ? cleanReply(reply.bytes) : std::string();

    MapCycle maps;
    if (consoleAnswered(text)) maps = readMapCycle(text);
    pause(kAnnouncerMapPauseMs);

    // Map names come from the server: shown escaped, announced without the
    // bytes that could end or split the command.
    const std::string first = escapeControls(maps.firstMap);
    const std::string current = escapeControls(maps.currentMap);
    const std::string next = escapeControls(maps.nextMap);
    log(LogKind::MapLog, "Firstmap  : " + first + "\r\nCurrentmap: " + current +
                             "\r\nNext   map: " + next + "\r\n" + std::string(kMapcheckEnd));
    touch([&] {
      view_->setStatusText("First map: " + first + " | Current map: " + current +
                           " | Next map: " + next);
    });

    // Without a password nothing is announced: no rcon datagram is sent.
    auto sayRequest = [&](const std::string& text) {
      const std::string password = touch([&] { return view_->rconPassword(); });
      if (password.empty()) throw NoPassword{};
      return rconRequest(password, "say " + text);
    };
    if (!maps.nextMap.empty()) {
      const std::string announce = sayRequest("next map is " + sayText(maps.nextMap));
      if (!sendDatagram(announce)) throw Failure{};
    }

    std::optional<std::vector<std::string>> messages;
    try {
      messages = readOptionalNameList(kMessagesFile);
    } catch (const FileError&) {
      throw Failure{};
    }
    if (messages) {
      for (const std::string& line : *messages) {
        const std::string datagram = sayRequest(line);
        pause(kAnnouncerMessagePauseMs);
        if (!sendDatagram(datagram)) throw Failure{};
      }
    }
  } catch (const NoPassword&) {
  } catch (const Failure&) {
    log(LogKind::BadLog, kAnnouncerError);
  } catch (const std::exception&) {
    log(LogKind::BadLog, kAnnouncerError);
  }

  touch([&] { view_->finishPass(); });
}

}  // namespace tarvix
