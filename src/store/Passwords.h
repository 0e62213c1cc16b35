#pragma once
// Per-server join and rcon passwords, kept in "Passwords.txt" as appended
// records of two lines (key, value).
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

inline constexpr const char* kPasswordsFile = "Passwords.txt";

struct Passwords {
  std::string join;
  std::string rcon;
};

// The IP text immediately followed by the port text.
std::string passwordKey(std::string_view ip, std::string_view port);
// Last join and last rcon password stored for the server. Throws FileError.
Passwords lookupPasswords(std::string_view ip, std::string_view port);
// The same lookup over the lines of a password file already read.
Passwords lookupPasswordsIn(const std::vector<std::string>& lines, std::string_view ip,
                            std::string_view port);
// Appends the key line and `value` ("rcon:" + password for an rcon record).
void appendPassword(std::string_view ip, std::string_view port, std::string_view value);
void appendRconPassword(std::string_view ip, std::string_view port, std::string_view password);
// Rewrites the file with its three header lines only.
void resetPasswords();

}  // namespace tarvix
