#include "store/DefaultServer.h"

#include <vector>

#include "store/DataFile.h"

namespace tarvix {

namespace {

DefaultServer groupAt(const std::vector<std::string>& lines, std::size_t first) {
  DefaultServer s;
  if (first < lines.size()) s.ip = lines[first];
  if (first + 1 < lines.size()) s.port = lines[first + 1];
  if (first + 2 < lines.size()) s.rconPassword = lines[first + 2];
  return s;
}

}  // namespace

DefaultServer readDefaultServer() { return groupAt(readLines(kDefaultFile), 0); }

void readDefaultServerGroups(DefaultServer& into) {
  std::vector<std::string> lines = readLines(kDefaultFile);
  if (lines.empty()) return;
  into = groupAt(lines, (lines.size() - 1) / 3 * 3);
}

void writeDefaultServer(const DefaultServer& server) {
  // The file holds an rcon password.
  replaceLines(kDefaultFile, {server.ip, server.port, server.rconPassword},
               ReplaceMode::CreateOrTruncate, FileAccess::OwnerOnly);
}

void clearDefaultServer() {
  replaceContent(kDefaultFile, "", ReplaceMode::CreateOrTruncate, FileAccess::OwnerOnly);
}

}  // namespace tarvix
