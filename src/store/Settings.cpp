#include "store/Settings.h"

namespace tarvix {

SettingsSnapshot Settings::snapshot() const {
  std::lock_guard lock(mutex_);
  return values_;
}

Config Settings::config() const {
  std::lock_guard lock(mutex_);
  return values_.config;
}

void Settings::setConfig(const Config& config) {
  std::lock_guard lock(mutex_);
  values_.config = config;
}

CurrentServer Settings::currentServer() const {
  std::lock_guard lock(mutex_);
  return values_.current;
}

void Settings::setCurrentServer(CurrentServer server) {
  std::lock_guard lock(mutex_);
  values_.current = std::move(server);
}

DefaultServer Settings::defaultServer() const {
  std::lock_guard lock(mutex_);
  return defaultServer_;
}

void Settings::setDefaultServer(DefaultServer server) {
  std::lock_guard lock(mutex_);
  defaultServer_ = std::move(server);
}

std::string Settings::serverListPath() const {
  std::lock_guard lock(mutex_);
  return values_.config.serverListPath;
}

bool Settings::clantagsOn() const {
  std::lock_guard lock(mutex_);
  return values_.config.clantagsOn;
}

int Settings::scanTimeout() const {
  std::lock_guard lock(mutex_);
  return values_.config.scanTimeout;
}

}  // namespace tarvix
