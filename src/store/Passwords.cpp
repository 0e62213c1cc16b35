#include "store/Passwords.h"

#include "base/Text.h"
#include "store/DataFile.h"

namespace tarvix {

namespace {
constexpr std::string_view kRconPrefix = "rcon:";
}

std::string passwordKey(std::string_view ip, std::string_view port) {
  std::string key(ip);
  key += port;
  return key;
}

Passwords lookupPasswordsIn(const std::vector<std::string>& lines, std::string_view ip,
                            std::string_view port) {
  const std::string key = passwordKey(ip, port);
  Passwords found;
  // No server has an empty key; it would match the header's empty line or an
  // empty value line and read the next record's key as a password.
  if (key.empty()) return found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != key) continue;
    // A record cut short by the end of the file has an empty value.
    std::string value = i + 1 < lines.size() ? lines[i + 1] : std::string();
    ++i;
    if (containsNoCase(value, kRconPrefix))
      found.rcon = removeAllNoCase(value, kRconPrefix);
    else
      found.join = std::move(value);
  }
  return found;
}

Passwords lookupPasswords(std::string_view ip, std::string_view port) {
  return lookupPasswordsIn(readLines(kPasswordsFile), ip, port);
}

void appendPassword(std::string_view ip, std::string_view port, std::string_view value) {
  // The file holds passwords: one an installation left readable is narrowed.
  appendLines(kPasswordsFile, {passwordKey(ip, port), std::string(value)}, FileAccess::OwnerOnly);
}

void appendRconPassword(std::string_view ip, std::string_view port, std::string_view password) {
  appendPassword(ip, port, std::string(kRconPrefix) + std::string(password));
}

void resetPasswords() {
  replaceLines(kPasswordsFile, {"// Tarvix 1.11 password list", "//", ""},
               ReplaceMode::CreateOrTruncate, FileAccess::OwnerOnly);
}

}  // namespace tarvix
