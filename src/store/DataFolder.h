#pragma once
// Which folder is the data folder. The current directory when it holds
// "Config" or "Serverlists"; otherwise the per-user folder, made from the
// installed template on first start; a folder named on the command line
// overrides both and is likewise made from the template when it is new.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvix {

// Where the choice looks. Filled from the environment by systemDataFolderPlaces();
// tests fill it themselves.
struct DataFolderPlaces {
  std::filesystem::path current;                 // the process's current directory
  std::optional<std::filesystem::path> chosen;   // --data DIR, relative to `current`
  std::filesystem::path perUser;                 // $XDG_DATA_HOME/tarvix
  std::vector<std::filesystem::path> templates;  // candidates; the first data folder wins
};

struct DataFolderChoice {
  std::filesystem::path folder;  // empty when `error` is set
  bool madeFromTemplate = false;
  std::string error;
};

// A folder that holds "Config" or "Serverlists".
bool isDataFolder(const std::filesystem::path& folder);

// Picks the data folder and, when it is not one yet, fills it from the first
// template: a new folder is built beside its final place and renamed there,
// so an interrupted first start leaves no half-made folder; files already
// present in an existing folder are never overwritten.
DataFolderChoice chooseDataFolder(const DataFolderPlaces& places);

// The places of this process: the current directory, $XDG_DATA_HOME (or
// ~/.local/share) + "/tarvix", and the templates "share/tarvix/data" beside
// the installed binary and under every $XDG_DATA_DIRS folder.
DataFolderPlaces systemDataFolderPlaces(std::optional<std::filesystem::path> chosen);

// Makes `folder` the current directory, which every data file path is built on.
bool enterDataFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace tarvix
