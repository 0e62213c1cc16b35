#pragma once
// The anti-cheat worker: one pass on its own thread that lists the console
// server's players, asks the server for each player's skins, rate, address
// and score, and, with "detect skins" ticked, kicks banned players and
// players wearing a listed skin.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "admin/core/ConsolePass.h"
#include "protocol/UdpClient.h"

namespace tarvix {

inline constexpr std::string_view kAntiCheatStatusError =
    "Anticheatthread error during status check";
inline constexpr std::string_view kAntiCheatKickError = "Anticheatthread error kicking player";
inline constexpr std::string_view kScanEnd = "//scan end";
// BadLog entry for a player whose name cannot be put into a command.
inline constexpr std::string_view kCannotAddressPlayer = "cannot address player ";

// Columns of the console's player list after the caption (the name).
enum class PlayerColumn {
  Name = 0,
  Ping = 1,
  AxisSkin = 2,
  AlliesSkin = 3,
  Rate = 4,
  IP = 5,
  Score = 6
};

// One row of the player list as a pass creates it: icon 0, the ping field
// (its blank included) and a single blank in the five other columns.
struct ConsolePlayer {
  std::string name;
  std::string ping;
  std::string axisSkin = " ";
  std::string alliesSkin = " ";
  std::string rate = " ";
  std::string ip = " ";
  std::string score = " ";
};

// What a pass reads from and changes in the admin console. Called on the
// worker's thread under the worker's guard, never after stop() has returned;
// implementations must not wait for the UI thread (it may be inside stop())
// and must not stop or destroy the worker themselves: post that instead.
class AntiCheatView {
 public:
  virtual ~AntiCheatView() = default;

  // The password field, read for every datagram; empty: no rcon password,
  // and the pass sends no rcon datagram.
  virtual std::string rconPassword() = 0;
  virtual bool detectSkins() = 0;  // "detect skins", read once per pass
  virtual bool checkBans() = 0;    // "check bans", read once per player
  // The skin rule, read once per player. The console always applies it; the
  // headless daemon can enforce bans alone.
  virtual bool checkSkins() { return true; }
  virtual int scanTimeout() = 0;  // the main window's ScanTimeout, in ms

  virtual void clearPlayers() = 0;  // empties the player list
  // Adds a row; `id` names it in later changes (the list sorts rows by name).
  virtual void addPlayer(int id, const ConsolePlayer& row) = 0;
  virtual void setPlayerText(int id, PlayerColumn column, const std::string& text) = 0;
  virtual void addConsoleLine(const std::string& line) = 0;
  // The console's "anticheatstop", run at the end of a complete pass.
  virtual void finishPass() = 0;
};

// The players of a cleaned status reply as the pass reads them: the first 25
// characters passed over, every later line feed before the last character
// starting a player line (ping field with its blank, then the quoted name).
std::vector<ConsolePlayer> antiCheatPlayers(std::string_view reply);

using AntiCheatSettings = ConsolePassSettings;

// Ends Completed after calling finishPass(); ListUnreadable when "bans.txt"
// or "skins.txt" could not be read and Failed on an unexpected error, both
// without finishPass().
class AntiCheatPass final : public ConsolePass<AntiCheatView> {
 public:
  using ConsolePass::ConsolePass;
  // Stops the pass and waits for its thread.
  ~AntiCheatPass() override;

 private:
  struct Row {
    int id;
    ConsolePlayer player;
    // The name quoted for "dumpuser" and "kick"; empty when the name cannot
    // be put into a command, and the player is then skipped.
    std::string quotedName;
  };
  void pass() override;
  End endingFor(const std::exception& e) const override;
  bool statusStep(std::vector<Row>& rows);
  void banRule(const Row& row);
  void skinRule(const Row& row);
  bool hasRconPassword();
  bool sendRcon(std::string_view command);
  UdpResult rconQuery(std::string_view command, int timeoutMs);
};

}  // namespace tarvix
