#pragma once
// The admin console's default server, kept in the file "default": IP, port
// and rcon password, one per line.
#include <string>

namespace tarvix {

inline constexpr const char* kDefaultFile = "default";

struct DefaultServer {
  std::string ip;
  std::string port;
  std::string rconPassword;
};

// The first three lines of "default", missing lines empty. Throws FileError.
DefaultServer readDefaultServer();
// Groups of three lines to the end; the last complete or partial group
// stands; an empty file leaves `into` unchanged. Throws FileError.
void readDefaultServerGroups(DefaultServer& into);
void writeDefaultServer(const DefaultServer& server);
void clearDefaultServer();

}  // namespace tarvix
