#include "store/SharedLists.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/Text.h"
#include "store/DataFile.h"
#include "store/Passwords.h"

namespace tarvix {

namespace {

constexpr std::string_view kServerTag = "Server=";
constexpr const char* kHlswAddress = "http://www.hlsw.example";
constexpr const char* kHomePage = "http://www.tarvix.example";

std::vector<std::string> entryLines(const std::vector<ServerEntry>& entries, std::size_t count) {
  std::vector<std::string> lines;
  lines.reserve(count * 3);
  for (std::size_t i = 0; i < count && i < entries.size(); ++i) {
    lines.push_back(entries[i].name);
    lines.push_back(entries[i].ip);
    lines.push_back(entries[i].port);
  }
  return lines;
}

}  // namespace

std::vector<std::string> sslfHeaderLines() {
  return {
      "SSLF - Shared Server List Format - Version 1.01",
      " ",
      std::string("// Create by HLSW (") + kHlswAddress + ")",
      std::string("// Dateiformatsinformationen auf ") + kHlswAddress + " unter Developer",
      " ",
      std::string("Name=\"") + kHomePage + " - serverlist\"",
      " ",
  };
}

std::string sslfServerLine(std::string_view ip, std::string_view port, std::string_view password,
                           std::string_view name) {
  std::string line = "Server=MoHAA ";
  line += ip;
  line += ':';
  line += port;
  line += ' ';
  line += password.empty() ? std::string_view("\"\"") : password;
  line += " \"";
  line += name;
  line += '"';
  return line;
}

std::string sslfExportPath(std::string_view chosenPath) {
  return std::string(chosenPath) + ".sslf";
}

std::string exportSslf(std::string_view listPath, std::string_view chosenPath) {
  const std::string out = sslfExportPath(chosenPath);
  std::vector<ServerEntry> entries = readServerEntries(listPath);
  std::vector<std::string> lines = sslfHeaderLines();
  std::vector<std::string> passwords;
  if (!entries.empty()) {
    try {
      passwords = readLines(kPasswordsFile);
    } catch (const FileError&) {
      // The export stops at its first server; the header stays written.
      replaceContentAt(out, joinLinesCrlf(lines));
      throw;
    }
  }
  for (const auto& e : entries)
    lines.push_back(
        sslfServerLine(e.ip, e.port, lookupPasswordsIn(passwords, e.ip, e.port).join, e.name));
  replaceContentAt(out, joinLinesCrlf(lines));
  return out;
}

std::optional<SslfServer> parseSslfLine(std::string_view line) {
  std::size_t tag = findNoCase(line, kServerTag);
  if (tag == std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(tag + kServerTag.size());

  // Game type: a quoted text, or the text up to the first blank.
  std::size_t typeEnd;
  if (!rest.empty() && rest.front() == '"')
    typeEnd = rest.find('"', 1);
  else
    typeEnd = rest.find(' ');
  if (typeEnd == std::string_view::npos) return std::nullopt;
  rest.remove_prefix(typeEnd + 1);

  std::size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  SslfServer s;
  s.ip = removeChar(rest.substr(0, colon), ' ');
  rest.remove_prefix(colon + 1);

  std::size_t blank = rest.find(' ');
  s.port = std::string(rest.substr(0, blank));
  if (blank == std::string_view::npos) return s;  // no password and no name
  rest.remove_prefix(blank + 1);

  if (!rest.empty() && rest.front() == '"') {
    // The empty pair "" and the blank after it stand for no password.
    if (rest.starts_with("\"\" "))
      rest.remove_prefix(3);
    else if (rest.starts_with("\"\""))
      rest.remove_prefix(2);
  } else {
    std::size_t end = rest.find(' ');
    s.hasPassword = true;
    s.password = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  // The name: its closing quote dropped, every other double quote removed.
  if (!rest.empty() && rest.back() == '"') rest.remove_suffix(1);
  s.name = removeChar(rest, '"');
  return s;
}

std::string sslfListName(std::string_view chosenFile) {
  return removeAllNoCase(listNameOf(chosenFile), ".sslf");
}

std::string importSslf(std::string_view chosenFile, std::string_view fileName) {
  const std::string content = readFileAt(std::string(chosenFile));
  const std::string listName = sslfListName(fileName.empty() ? chosenFile : fileName);
  const std::string listPath = serverListPathFor(listName);

  std::vector<ServerEntry> entries;
  std::vector<std::string> records;
  std::size_t beforeFirstPassword = std::string::npos;
  for (const auto& line : splitLines(content)) {
    auto server = parseSslfLine(line);
    if (!server) continue;
    if (server->hasPassword) {
      if (beforeFirstPassword == std::string::npos) beforeFirstPassword = entries.size();
      records.push_back(passwordKey(server->ip, server->port));
      records.push_back(server->password);
    }
    entries.push_back({server->name, server->ip, server->port});
  }

  replaceLines(listPath, entryLines(entries, entries.size()));
  if (!records.empty()) {
    try {
      appendLines(kPasswordsFile, records, FileAccess::OwnerOnly);
    } catch (const FileError&) {
      // The import stops at the first server with a password; the servers
      // before it stay imported.
      try {
        replaceLines(listPath, entryLines(entries, beforeFirstPassword));
      } catch (const FileError&) {
      }
      throw;
    }
  }
  return listName;
}

ServerEntry parseTextListLine(std::string_view line) {
  ServerEntry e;
  std::size_t colon = line.rfind(':');
  if (colon == std::string_view::npos) {
    e.port = std::string(line);
    return e;
  }
  e.port = std::string(line.substr(colon + 1));
  std::string_view head = line.substr(0, colon);
  std::size_t bar = head.rfind('|');
  if (bar == std::string_view::npos) {
    e.ip = std::string(head);
    return e;
  }
  e.name = std::string(head.substr(0, bar));
  e.ip = std::string(head.substr(bar + 1));
  return e;
}

std::string textListName(std::string_view chosenFile) {
  return removeAllNoCase(listNameOf(chosenFile), ".txt");
}

std::string importTextList(std::string_view chosenFile, std::string_view fileName) {
  const std::string content = readFileAt(std::string(chosenFile));
  const std::string listName = textListName(fileName.empty() ? chosenFile : fileName);
  std::vector<ServerEntry> entries;
  for (const auto& line : splitLines(content)) entries.push_back(parseTextListLine(line));
  replaceLines(serverListPathFor(listName), entryLines(entries, entries.size()));
  return listName;
}

}  // namespace tarvix
