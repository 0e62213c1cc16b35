#pragma once
// A fake game server for tests: a UDP socket on 127.0.0.1 with a port the
// system chooses, one thread, every datagram recorded byte for byte, and
// answers taken from a script.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace tarvix::test {

struct FakeDatagram {
  std::string bytes;
  std::string fromHost;
  std::uint16_t fromPort = 0;
};

// What the server does with one request: send each datagram in order after
// delayMs (none: silence), from its own socket or from a second socket with
// another port.
struct FakeAnswer {
  std::vector<std::string> datagrams;
  int delayMs = 0;
  bool fromOtherPort = false;
  int gapMs = 0;  // between one datagram and the next

  static FakeAnswer reply(std::string bytes, int delayMs = 0) {
    FakeAnswer a;
    a.datagrams.push_back(std::move(bytes));
    a.delayMs = delayMs;
    return a;
  }
  static FakeAnswer split(std::vector<std::string> parts, int delayMs = 0) {
    FakeAnswer a;
    a.datagrams = std::move(parts);
    a.delayMs = delayMs;
    return a;
  }
  static FakeAnswer silence() { return {}; }
  // One datagram larger than any receive buffer the program uses.
  static FakeAnswer oversized(std::size_t size = 9000) { return reply(std::string(size, 'x')); }
};

using FakeResponder = std::function<FakeAnswer(const FakeDatagram& request)>;

class FakeGameServer {
 public:
  FakeGameServer();
  ~FakeGameServer();
  FakeGameServer(const FakeGameServer&) = delete;
  FakeGameServer& operator=(const FakeGameServer&) = delete;

  std::uint16_t port() const { return port_; }
  std::string portText() const { return std::to_string(port_); }
  static std::string host() { return "127.0.0.1"; }
  // Port of the second socket that sends answers marked fromOtherPort
  // (opened on first use, so idle servers hold two descriptors only).
  std::uint16_t otherPort();

  // Script: queued answers are used first, one per request; then the
  // responder, if any; otherwise the server stays silent.
  void queue(FakeAnswer answer);
  void queueReply(std::string bytes, int delayMs = 0) {
    queue(FakeAnswer::reply(std::move(bytes), delayMs));
  }
  void setResponder(FakeResponder responder);
  // Answers every request with the same bytes (after the queue is used up).
  void setReply(std::string bytes);

  // Sends a datagram unasked to host:port from the server's own socket.
  void sendTo(const std::string& host, std::uint16_t port, std::string_view bytes);

  std::vector<FakeDatagram> received() const;
  std::size_t receivedCount() const;
  // Waits until at least n datagrams have been received, at most timeoutMs.
  bool waitForCount(std::size_t n, int timeoutMs) const;
  // Number of answer datagrams sent so far.
  std::size_t sentCount() const;
  bool waitForSent(std::size_t n, int timeoutMs) const;

 private:
  struct Pending {
    long long dueMs;
    std::string bytes;
    std::string toHost;
    std::uint16_t toPort;
    bool fromOther;
  };
  void run();
  int otherSocket();
  void handle(FakeDatagram d);
  void sendDue();
  long long nowMs() const;

  int fd_ = -1;
  int otherFd_ = -1;
  int stopFd_ = -1;
  std::uint16_t port_ = 0;
  std::uint16_t otherPort_ = 0;

  mutable std::mutex mu_;
  mutable std::condition_variable cv_;
  std::vector<FakeAnswer> queue_;
  std::size_t queueHead_ = 0;
  FakeResponder responder_;
  std::vector<FakeDatagram> received_;
  std::size_t sent_ = 0;
  std::vector<Pending> pending_;  // touched by the server thread only
  std::thread thread_;
};

// A status reply: FF FF FF FF 01 "statusResponse" LF, the info line and LF,
// then one line per player: ping, blank, quoted name, LF.
std::string makeStatusReply(std::string_view infoLine,
                            const std::vector<std::pair<int, std::string>>& players);

// A status reply from host "X" on `map` with `maxClients` slots and the
// named players, each at ping 40.
std::string makePlayersReply(const std::string& map, const std::string& maxClients,
                             const std::vector<std::string>& names);

// Server list lines (name, host, port) for each (name, server) pair; a null
// server stands for port 1, where nothing answers.
std::vector<std::string> serverListLines(
    const std::vector<std::pair<std::string, const FakeGameServer*>>& servers);

// An rcon request: FF FF FF FF 02 "rcon ", password, blank, command, LF, NUL.
std::string makeRconRequest(std::string_view password, std::string_view command);

// An rcon reply: FF FF FF FF 01 "print" followed by the text.
std::string makePrintReply(std::string_view text);

}  // namespace tarvix::test
