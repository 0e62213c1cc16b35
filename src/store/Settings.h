#pragma once
// The program's settings (the lines of Config) and the current server, held
// once for every window. The UI thread changes them; worker threads read a
// snapshot, so no worker ever looks at a widget or a window's field.
#include <mutex>
#include <string>

#include "store/Config.h"
#include "store/DefaultServer.h"

namespace tarvix {

struct CurrentServer {
  std::string ip;
  std::string port;
  bool empty() const { return ip.empty(); }
  bool operator==(const CurrentServer&) const = default;
};

struct SettingsSnapshot {
  Config config;
  CurrentServer current;
};

class Settings {
 public:
  Settings() = default;
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // A consistent copy of everything; safe from any thread.
  SettingsSnapshot snapshot() const;
  Config config() const;
  void setConfig(const Config& config);
  // Changes some settings in one step: `change` receives the Config to edit.
  template <typename F>
  void updateConfig(F&& change) {
    std::lock_guard lock(mutex_);
    change(values_.config);
  }

  CurrentServer currentServer() const;
  void setCurrentServer(CurrentServer server);

  // The default server as last read from "default" or set by a window.
  DefaultServer defaultServer() const;
  void setDefaultServer(DefaultServer server);

  // The values worker passes read while they run.
  std::string serverListPath() const;
  bool clantagsOn() const;
  int scanTimeout() const;

 private:
  mutable std::mutex mutex_;
  SettingsSnapshot values_;
  DefaultServer defaultServer_;
};

}  // namespace tarvix
