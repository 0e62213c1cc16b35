#pragma once
// Short ways for tests to change one setting or one half of the current
// server.
#include <string>
#include <utility>

#include "store/Settings.h"

namespace tarvix::test {

// setConfigValue(settings, &Config::scanTimeout, 3000)
template <typename T, typename V>
void setConfigValue(Settings& settings, T Config::*field, V&& value) {
  settings.updateConfig([&](Config& c) { c.*field = std::forward<V>(value); });
}

inline void setCurrentIp(Settings& settings, std::string ip) {
  CurrentServer server = settings.currentServer();
  server.ip = std::move(ip);
  settings.setCurrentServer(std::move(server));
}

inline void setCurrentPort(Settings& settings, std::string port) {
  CurrentServer server = settings.currentServer();
  server.port = std::move(port);
  settings.setCurrentServer(std::move(server));
}

}  // namespace tarvix::test
