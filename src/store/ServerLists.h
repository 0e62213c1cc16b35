#pragma once
// Server list files in the folder "Serverlists": three lines per entry (name,
// IP, port), no header. Lists are named by their file name, without a dot.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

struct ServerEntry {
  std::string name;
  std::string ip;
  std::string port;
};

struct ServerAddress {
  std::string ip;
  std::string port;
};

inline constexpr const char* kServerListFolder = "Serverlists";
inline constexpr const char* kStandardList = "Standard";

// "Serverlists\" + list name, as stored in Config line 2.
std::string serverListPathFor(std::string_view listName);
// The part after the last "\" or "/": the list name of a "Serverlists\..."
// path, the file name of a chosen file.
std::string listNameOf(std::string_view serverListPath);

// Names of the ordinary, non-hidden files of Serverlists without a dot.
std::vector<std::string> listServerLists();

// Group reading: every three lines make an entry; a group cut short by the
// end of the file counts, its missing lines empty. `listPath` is a path
// relative to the data folder such as "Serverlists\Standard".
std::vector<ServerEntry> readServerEntries(std::string_view listPath);
std::vector<std::string> readServerNames(std::string_view listPath);

// Keyed lookup: every line equal to `name` makes the next two lines the
// address; the last match wins; empty when there is none.
ServerAddress lookupServer(std::string_view listPath, std::string_view name);
// The same lookup over a list's lines; nullopt when no line equals `name`.
std::optional<ServerAddress> lookupServerIn(const std::vector<std::string>& lines,
                                            std::string_view name);

void appendServer(std::string_view listPath, std::string_view name, std::string_view ip,
                  std::string_view port);

// The lines of a list with every line equal to `name` dropped together with
// the two lines after it (line by line, not aligned to groups).
std::vector<std::string> withoutServer(const std::vector<std::string>& lines,
                                       std::string_view name);

// Removes every entry named `name` (a line equal to the name and the two
// lines after it). The list is replaced whole; a reader holding the list
// makes it fail as "in use" with the list unchanged.
void removeServer(std::string_view listPath, std::string_view name);

// Deletes the list's file; refused (returns false) for "Standard".
bool deleteServerList(std::string_view listName);

}  // namespace tarvix
