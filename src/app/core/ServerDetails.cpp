#include "app/core/ServerDetails.h"

#include <filesystem>
#include <system_error>

#include "store/Text.h"

namespace tarvix {

std::vector<std::string> MapRotationPieces(std::string_view mapList) {
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

void LinkDisplay(const TStatusReply& reply, std::string& caption, std::string& target) {
  if (reply.HasLink && (containsNoCase(reply.Link, "www") || containsNoCase(reply.Link, "http:"))) {
    target = reply.Link;
    caption = removeAllNoCase(reply.Link, "http://");
  } else {
    caption = std::string(kNoLink);
    target = std::string(kHomePage);
  }
}

namespace {

TServerDetails detailsOf(TStatusReply reply) {
  TServerDetails d;
  d.Answered = true;
  d.MapLines = MapRotationPieces(reply.MapList);
  LinkDisplay(reply, d.LinkCaption, d.LinkTarget);
  const int count = reply.DetailPlayerCount();
  d.CountText = std::to_string(count) + "/" + reply.MaxClients;
  long long max = 0;
  d.MaxIsNumber = MaxClientsNumber(reply.MaxClients, max);
  d.Full = d.MaxIsNumber && max == count;
  d.Reply = std::move(reply);
  return d;
}

}  // namespace

TServerDetails RowSelectionDetails(std::string_view raw) {
  if (!RowSelectionAnswered(raw)) return {};
  return detailsOf(ReadSelectedReply(raw));
}

TServerDetails BuddyDetails(std::string_view raw) {
  if (!BuddyDoubleClickAnswered(raw)) return {};
  return detailsOf(ReadStatusReply(raw));
}

std::string ConversionErrorText(std::string_view value) {
  return "'" + std::string(value) + "' is not a valid integer value";
}

std::string MapFolderFor(std::string_view mohaaPath) {
  std::size_t sep = mohaaPath.find_last_of("/\\");
  if (sep == std::string_view::npos) return "main";
  std::string folder(mohaaPath.substr(0, sep));
  for (char& c : folder)
    if (c == '\\') c = '/';
  return folder + "/main";
}

bool MapInstalled(std::string_view mapName, std::string_view mohaaPath) {
  const std::string m = removeAllNoCase(removeAllNoCase(mapName, "obj/"), "dm/");
  if (containsNoCase(m, "obj_team") || containsNoCase(m, "mohdm")) return true;
  std::error_code ec;
  std::filesystem::directory_iterator it(MapFolderFor(mohaaPath), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (containsNoCase(it->path().filename().string(), m)) return true;
  }
  return false;
}

}  // namespace tarvix
