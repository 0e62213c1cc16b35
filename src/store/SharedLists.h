#pragma once
// Exchange of server lists with other server browsers: the shared server
// list format (".sslf", export and import) and "Name|Ip:Port" text lists
// (import). Paths of the chosen files are used as given (not data-folder
// relative paths); imported lists go to Serverlists.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ServerLists.h"

namespace tarvix {

// Header lines 1 to 7 of an exported file.
std::vector<std::string> sslfHeaderLines();
// "Server=MoHAA <ip>:<port> <password or ""> "<name>"".
std::string sslfServerLine(std::string_view ip, std::string_view port, std::string_view password,
                           std::string_view name);
// The file an export writes: the chosen path with ".sslf" appended, always.
std::string sslfExportPath(std::string_view chosenPath);
// Writes the list (a "Serverlists\..." path) with each server's last join
// password. Returns the path written. Throws FileError; on a failure after
// the output was begun, what was produced until then is written.
std::string exportSslf(std::string_view listPath, std::string_view chosenPath);

struct SslfServer {
  std::string name;
  std::string ip;
  std::string port;
  bool hasPassword = false;
  std::string password;
};

// One line of an SSLF file. std::nullopt for lines without "Server=" (any
// case) and for server lines that hold no "ip:port" after the game type.
std::optional<SslfServer> parseSslfLine(std::string_view line);
// The file-name part of `chosenFile` with every ".sslf" removed, any case.
std::string sslfListName(std::string_view chosenFile);
// Creates or replaces the list named after the file; appends a password
// record for every server line with a password. Returns the list name.
// Throws FileError; what was imported until then stays. `fileName` is the
// chosen file's name as list-name text when the path's bytes are not (a
// path in the system's file-name encoding); empty: the path's own name.
std::string importSslf(std::string_view chosenFile, std::string_view fileName = {});

// One "Name|Ip:Port" line: split at the last ":" and the last "|" before it.
// Without ":" the whole line is the port; without "|" the name is empty.
ServerEntry parseTextListLine(std::string_view line);
// The file-name part of `chosenFile` with every ".txt" removed, any case.
std::string textListName(std::string_view chosenFile);
// Creates or replaces the list named after the file, one entry per line
// (empty lines included). Returns the list name. Throws FileError.
// `fileName` as for importSslf().
std::string importTextList(std::string_view chosenFile, std::string_view fileName = {});

}  // namespace tarvix
