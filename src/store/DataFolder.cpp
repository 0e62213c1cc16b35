#include "store/DataFolder.h"

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>

#include "store/DataFile.h"
#include "store/DefaultServer.h"
#include "store/Passwords.h"
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
  text +=
      "). A data folder holds Config, Serverlists\\Standard, default, Passwords.txt, "
      "Buddys.txt, clantags.txt, bans.txt, skins.txt, maps.txt and messages.txt; ";
  if (places.chosen)
    return text + "put at least Config or Serverlists\\Standard in " + target.string() +
           ", or install Tarvix so that its template is found.";
  return text + "start Tarvix inside one or with --data DIR.";
}

// A group that holds this user alone: the user private group of systems
// whose umask 002 makes every new folder group-writable.
bool privateGroup(gid_t gid) {
  const passwd* user = ::getpwuid(::geteuid());
  if (!user || user->pw_gid != gid) return false;
  const std::string name = user->pw_name;
  const group* g = ::getgrgid(gid);
  if (!g || name != g->gr_name) return false;
  for (char** member = g->gr_mem; *member; ++member)
    if (name != *member) return false;
  return true;
}

// Why `folder` must not be the data folder, or "" when it may. Its files
// are written, links in it are followed: like ssh with its own files, only a
// folder that belongs to this user (or root) and that nobody else can write
// is trusted; write access for the user's private group is the user's own.
// A sticky bit does not help: others could still add links.
std::string untrustedReason(const fs::path& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return {};  // the later steps report it
  const std::string head = folder.string() + " is not used as the data folder: ";
  if (st.st_uid != ::geteuid() && st.st_uid != 0)
    return head + "it belongs to another user (uid " + std::to_string(st.st_uid) +
           "), who could make Tarvix overwrite your files through links placed in it. Use a "
           "folder of your own: copy the files you need into one and start Tarvix there or "
           "with --data DIR.";
  if ((st.st_mode & S_IWOTH) != 0 || ((st.st_mode & S_IWGRP) != 0 && !privateGroup(st.st_gid))) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    return head + "others can write in it (mode " + mode +
           "), so they could make Tarvix overwrite your files through links placed in it. "
           "Remove their write permission (chmod go-w " +
           folder.string() + ") or use a folder of your own with --data DIR.";
  }
  return {};
}

// Copies the template's files that `folder` does not have yet. The files
// holding passwords are written readable by their owner only from the start.
bool fillFrom(const fs::path& templ, const fs::path& folder, std::string& error) {
  std::error_code ec;
  for (const char* privateFile : {kPasswordsFile, kDefaultFile}) {
    if (!fs::is_regular_file(templ / privateFile, ec) || fs::exists(folder / privateFile, ec))
      continue;
    try {
      replaceContentAt((folder / privateFile).string(), readFileAt((templ / privateFile).string()),
                       ReplaceMode::CreateOrTruncate, FileAccess::OwnerOnly);
    } catch (const FileError& e) {
      error = "cannot fill " + folder.string() + " from " + templ.string() + ": " + e.what();
      return false;
    }
  }
  fs::copy(templ, folder, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
  if (ec)
    error = "cannot fill " + folder.string() + " from " + templ.string() + ": " + ec.message();
  return !ec;
}

// Folders a first start builds before renaming them into place:
// ".tarvix-new-<pid>-XXXXXX", short so that any folder name fits beside it.
constexpr std::string_view kBuildingPrefix = ".tarvix-new-";

// Removes the folders that first starts killed while copying left in
// `parent`: those of processes that no longer run, and the older
// ".<name>.new-XXXXXX" form, which no running start uses any more.
void removeStaleBuildingFolders(const fs::path& parent, const std::string& targetName) {
  std::error_code ec;
  const std::string legacy = "." + targetName + ".new-";
  for (const auto& entry : fs::directory_iterator(parent, ec)) {
    const std::string name = entry.path().filename().string();
    bool stale = false;
    if (name.starts_with(kBuildingPrefix)) {
      const std::string rest = name.substr(kBuildingPrefix.size());
      const std::size_t dash = rest.find('-');
      const std::string pid = rest.substr(0, dash);
      stale = dash != std::string::npos && !pid.empty() && pid.size() < 10 &&
              pid.find_first_not_of("0123456789") == std::string::npos &&
              ::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH;
    } else {
      stale = name.starts_with(legacy) && name.size() == legacy.size() + 6;
    }
    struct stat st {};
    if (stale && ::lstat(entry.path().c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == ::geteuid()) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
  }
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
  removeStaleBuildingFolders(parent, target.filename().string());
  std::string pattern =
      (parent / (std::string(kBuildingPrefix) + std::to_string(::getpid()) + "-XXXXXX")).string();
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
    c.error = untrustedReason(places.current);
    if (c.error.empty()) c.folder = places.current;
    return c;
  }
  const fs::path target = places.chosen ? places.current / *places.chosen : places.perUser;
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    c.error = untrustedReason(target);
    if (!c.error.empty()) return c;
  }
  if (isDataFolder(target)) {
    c.folder = target;
    return c;
  }

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
  if (!made) {
    c.error += ". Make " + target.string() +
               " (or the folder it is made in) writable for you, or choose a folder you can "
               "write with --data DIR.";
    return c;
  }
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
  removeStaleTemporariesOfLinks(".");
  removeStaleTemporariesOfLinks(kServerListFolder);
  return true;
}

}  // namespace tarvix
