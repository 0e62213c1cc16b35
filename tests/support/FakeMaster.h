#pragma once
// A fake master server for tests: TCP on 127.0.0.1 with a port the system
// chooses, a thread per connection. It sends the challenge "ABCDEF", reads
// the client's lines as a busy master does (together, split on backslashes
// and paired key, value: no "list" key, no answer), checks the validate
// answer against known vectors and sends the list of the game asked for,
// unless told to misbehave. Lists hold 127.0.0.0/8 addresses only.
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvix::test {

enum class MasterBehaviour {
  Normal,                 // challenge with \final\, list, \final\, close
  ChallengeWithoutFinal,  // challenge alone, then as Normal
  ListNotWholeEntries,    // the list with one byte too many
  NoFinal,                // the list without \final\, then close
  Garbage,                // text that is no list, then close
  Echo,                   // \echo\...\final\ instead of the list
  Fatal,                  // \fatal\... without \final\ instead of the challenge, then close
  Silent,                 // accepts and never speaks
  NeverCloses,            // the list and \final\, then keeps the connection open
  Endless,                // list bytes without end and without \final\ after them
  CloseAfterChallenge,    // the challenge, then closes without a word
  FinalApart,             // the challenge, its \final\ a moment later, then as Normal
  ResetAfterList,         // the list and \final\, then resets the connection
  Trickle,                // list bytes one at a time, every 20 ms, without end
};

struct MasterEntry {
  std::string ip;  // dotted
  std::uint16_t port = 0;
};

class FakeMaster {
 public:
  explicit FakeMaster(MasterBehaviour behaviour = MasterBehaviour::Normal);
  ~FakeMaster();
  FakeMaster(const FakeMaster&) = delete;
  FakeMaster& operator=(const FakeMaster&) = delete;

  std::uint16_t port() const { return port_; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

  void setList(const std::string& game, std::vector<MasterEntry> entries);
  // Every entry 6 bytes, as listed.
  static std::string listBytes(const std::vector<MasterEntry>& entries);

  int connections() const { return connections_.load(); }
  // The most connections served at once.
  int peakConnections() const { return peak_.load(); }
  // Exchanges whose validate matched the vector of their game.
  int validated() const { return validated_.load(); }
  // Every byte the clients sent, per connection, in arrival order.
  std::vector<std::string> received() const;

 private:
  void run();
  void serve(int fd);

  MasterBehaviour behaviour_;
  int listenFd_ = -1;
  int stopFd_ = -1;
  std::uint16_t port_ = 0;
  mutable std::mutex mu_;
  std::map<std::string, std::vector<MasterEntry>> lists_;
  std::vector<std::string> received_;
  std::atomic<int> connections_{0};
  std::atomic<int> validated_{0};
  std::atomic<int> open_{0};
  std::atomic<int> peak_{0};
  std::vector<std::thread> workers_;  // touched by the accept thread, then the destructor
  std::thread thread_;
};

}  // namespace tarvix::test
