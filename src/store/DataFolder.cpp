#include "store/DataFolder.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "store/DataFile.h"
#include "store/ServerLists.h"

namespace tarvix {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> firstTemplate(const std::vector<fs::path>& candidates) {
  for (const fs::path& t : candidates)
    if (isDataFolder(t)) return t;
  return std::nullopt;
}

// Says once where the choice looked and what it looked for.
std::string noTemplate(const DataFolderPlaces& places, const fs::path& target) {
  std::string text;
  if (!places.chosen)
    text = places.current.string() +
           " is not a data folder (it holds neither Config nor Serverlists), and ";
  text += target.string() + " cannot be made: no data folder template found (looked in";
  for (const fs::path& t : places.templates) text += " " + t.string();
  return text +
         "). A data folder holds Config, Serverlists\\Standard, default, Passwords.txt, "
         "Buddys.txt, clantags.txt, bans.txt, skins.txt, maps.txt and messages.txt; start "
         "Tarvix inside one or with --data DIR.";
}

// Copies the template's files that `folder` does not have yet.
bool fillFrom(const fs::path& templ, const fs::path& folder, std::string& error) {
  std::error_code ec;
  fs::copy(templ, folder, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
  if (ec)
    error = "cannot fill " + folder.string() + " from " + templ.string() + ": " + ec.message();
  return !ec;
}

// Builds a new folder next to `target` and renames it into place. Another
// process that made the folder meanwhile wins; its folder is used.
bool createFrom(const fs::path& templ, const fs::path& target, std::string& error) {
  std::error_code ec;
  const fs::path parent = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  fs::create_directories(parent, ec);
  if (ec) {
    error = "cannot create " + parent.string() + ": " + ec.message();
    return false;
  }
  std::string pattern = (parent / ("." + target.filename().string() + ".new-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) {  // mode 0700: the folder will hold passwords
    error = "cannot create a folder in " + parent.string() + ": " + std::strerror(errno);
    return false;
  }
  const fs::path building(pattern);
  if (!fillFrom(templ, building, error)) {
    fs::remove_all(building, ec);
    return false;
  }
  fs::rename(building, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove_all(building, ignored);
    if (fs::is_directory(target, ignored)) return true;
    error = "cannot create " + target.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

bool isDataFolder(const fs::path& folder) {
  std::error_code ec;
  return fs::exists(folder / "Config", ec) || fs::is_directory(folder / "Serverlists", ec);
}

DataFolderChoice chooseDataFolder(const DataFolderPlaces& places) {
  DataFolderChoice c;
  if (!places.chosen && isDataFolder(places.current)) {
    c.folder = places.current;
    return c;
  }
  const fs::path target = places.chosen ? places.current / *places.chosen : places.perUser;
  if (isDataFolder(target)) {
    c.folder = target;
    return c;
  }

  std::error_code ec;
  if (fs::exists(target, ec) && !fs::is_directory(target, ec)) {
    c.error = target.string() + " is not a folder";
    return c;
  }
  const std::optional<fs::path> templ = firstTemplate(places.templates);
  if (!templ) {
    c.error = noTemplate(places, target);
    return c;
  }
  const bool made = fs::exists(target, ec) ? fillFrom(*templ, target, c.error)
                                           : createFrom(*templ, target, c.error);
  if (!made) return c;
  c.folder = target;
  c.madeFromTemplate = true;
  return c;
}

DataFolderPlaces systemDataFolderPlaces(std::optional<fs::path> chosen) {
  DataFolderPlaces p;
  std::error_code ec;
  p.current = fs::current_path(ec);
  p.chosen = std::move(chosen);

  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome && *dataHome == '/')
    p.perUser = fs::path(dataHome) / "tarvix";
  else
    p.perUser = fs::path(home && *home ? home : "/") / ".local/share/tarvix";

  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) p.templates.push_back(exe.parent_path().parent_path() / "share/tarvix/data");
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  std::size_t from = 0;
  while (from <= list.size()) {
    std::size_t colon = list.find(':', from);
    if (colon == std::string::npos) colon = list.size();
    const std::string dir = list.substr(from, colon - from);
    if (!dir.empty() && dir[0] == '/') p.templates.push_back(fs::path(dir) / "tarvix/data");
    from = colon + 1;
  }
  return p;
}

bool enterDataFolder(const fs::path& folder, std::string& error) {
  std::error_code ec;
  fs::current_path(folder, ec);
  if (ec) {
    error = "cannot use " + folder.string() + " as the data folder: " + ec.message();
    return false;
  }
  // Writers killed before their rename left these; the files beside them
  // hold their old content.
  removeStaleTemporaries(".");
  removeStaleTemporaries(kServerListFolder);
  return true;
}

}  // namespace tarvix
