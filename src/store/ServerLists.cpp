#include "store/ServerLists.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "store/DataFile.h"

namespace tarvix {

std::string serverListPathFor(std::string_view listName) {
  return std::string(kServerListFolder) + "\\" + std::string(listName);
}

std::string listNameOf(std::string_view serverListPath) {
  std::size_t cut = serverListPath.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? serverListPath
                                                   : serverListPath.substr(cut + 1));
}

std::vector<std::string> listServerLists() {
  std::string folder = dataPath(kServerListFolder);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) throw FileError(folder, errno);
  std::vector<std::string> names;
  while (dirent* e = ::readdir(dir.get())) {
    std::string name = e->d_name;
    // Hidden files start with a dot, so the dot test leaves them out as well.
    if (name.empty() || name.find('.') != std::string::npos) continue;
    struct stat st {};
    if (::stat((folder + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    names.push_back(std::move(name));
  }
  return names;
}

std::vector<ServerEntry> readServerEntries(std::string_view listPath) {
  std::vector<std::string> lines = readLines(listPath);
  std::vector<ServerEntry> entries;
  entries.reserve((lines.size() + 2) / 3);
  for (std::size_t i = 0; i < lines.size(); i += 3) {
    ServerEntry e;
    e.name = lines[i];
    if (i + 1 < lines.size()) e.ip = lines[i + 1];
    if (i + 2 < lines.size()) e.port = lines[i + 2];
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<std::string> readServerNames(std::string_view listPath) {
  std::vector<std::string> names;
  for (auto& e : readServerEntries(listPath)) names.push_back(std::move(e.name));
  return names;
}

std::optional<ServerAddress> lookupServerIn(const std::vector<std::string>& lines,
                                            std::string_view name) {
  std::optional<ServerAddress> found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != name) continue;
    found = ServerAddress{i + 1 < lines.size() ? lines[i + 1] : std::string(),
                          i + 2 < lines.size() ? lines[i + 2] : std::string()};
    i += 2;  // the address and port lines are read, not examined as names
  }
  return found;
}

ServerAddress lookupServer(std::string_view listPath, std::string_view name) {
  return lookupServerIn(readLines(listPath), name).value_or(ServerAddress{});
}

void appendServer(std::string_view listPath, std::string_view name, std::string_view ip,
                  std::string_view port) {
  appendLines(listPath, {std::string(name), std::string(ip), std::string(port)});
}

std::vector<std::string> withoutServer(const std::vector<std::string>& lines,
                                       std::string_view name) {
  std::vector<std::string> kept;
  kept.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == name)
      i += 2;  // the name line and the two lines after it
    else
      kept.push_back(lines[i]);
  }
  return kept;
}

void removeServer(std::string_view listPath, std::string_view name) {
  std::vector<std::string> lines = readLines(listPath);
  replaceLines(listPath, withoutServer(lines, name), ReplaceMode::MustExist);
}

bool deleteServerList(std::string_view listName) {
  if (listName == kStandardList) return false;
  deleteFile(serverListPathFor(listName));
  return true;
}

}  // namespace tarvix
