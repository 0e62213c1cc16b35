#include "app/core/ServerDetails.h"

#include <filesystem>
#include <system_error>

#include "base/Text.h"

namespace tarvix {

std::vector<std::string> mapRotationPieces(std::string_view mapList) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t sp = mapList.find(' '); sp != std::string_view::npos;
       sp = mapList.find(' ', start)) {
    pieces.emplace_back(mapList.substr(start, sp - start));
    start = sp + 1;
  }
  if (start < mapList.size()) pieces.emplace_back(mapList.substr(start));
  return pieces;
}

void linkDisplay(const StatusReply& reply, std::string& caption, std::string& target) {
  if (reply.hasLink && (containsNoCase(reply.link, "www") || containsNoCase(reply.link, "http:"))) {
    target = reply.link;
    caption = removeAllNoCase(reply.link, "http://");
  } else {
    caption = std::string(kNoLink);
    target = std::string(kHomePage);
  }
}

namespace {

ServerDetails detailsOf(StatusReply reply) {
  ServerDetails d;
  d.answered = true;
  d.mapLines = mapRotationPieces(reply.mapList);
  linkDisplay(reply, d.linkCaption, d.linkTarget);
  const int count = reply.detailPlayerCount();
  d.countText = std::to_string(count) + "/" + reply.maxClients;
  long long max = 0;
  d.maxIsNumber = maxClientsNumber(reply.maxClients, max);
  d.full = isFull(count, reply.maxClients);
  d.reply = std::move(reply);
  return d;
}

}  // namespace

ServerDetails rowSelectionDetails(std::string_view raw) {
  if (!rowSelectionAnswered(raw)) return {};
  return detailsOf(readSelectedReply(raw));
}

ServerDetails buddyDetails(std::string_view raw) {
  if (!buddyDoubleClickAnswered(raw)) return {};
  return detailsOf(readStatusReply(raw));
}

std::string conversionErrorText(std::string_view value) {
  return "'" + std::string(value) + "' is not a valid integer value";
}

std::string mapFolderFor(std::string_view mohaaPath) {
  std::size_t sep = mohaaPath.find_last_of("/\\");
  if (sep == std::string_view::npos) return "main";
  std::string folder(mohaaPath.substr(0, sep));
  for (char& c : folder)
    if (c == '\\') c = '/';
  return folder + "/main";
}

bool mapInstalled(std::string_view mapName, std::string_view mohaaPath) {
  const std::string m = removeAllNoCase(removeAllNoCase(mapName, "obj/"), "dm/");
  if (containsNoCase(m, "obj_team") || containsNoCase(m, "mohdm")) return true;
  std::error_code ec;
  std::filesystem::directory_iterator it(mapFolderFor(mohaaPath), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (containsNoCase(it->path().filename().string(), m)) return true;
  }
  return false;
}

}  // namespace tarvix
