#pragma once
// A UDP client on a system-chosen local port: one datagram out, at most one
// datagram in, with an interruptible wait.
#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/StopSignal.h"

namespace tarvix {

// Largest datagram a receive accepts; a longer one is a receive failure.
inline constexpr std::size_t kReceiveBufferSize = 8192;

enum class UdpOutcome {
  Ok,        // bytes sent, or one datagram received
  TimedOut,  // nothing arrived within the time-out
  Failed,    // socket failure, unresolvable host, bad port, oversized datagram
  Stopped,   // the stop signal was requested
};

struct UdpResult {
  UdpOutcome outcome = UdpOutcome::TimedOut;
  std::string bytes;     // the datagram received (Ok on receive only)
  std::string error;     // description of a failure
  std::string fromHost;  // sender of a received datagram, dotted
  std::uint16_t fromPort = 0;

  bool ok() const { return outcome == UdpOutcome::Ok; }
  bool failed() const { return outcome == UdpOutcome::Failed; }
};

// Whose datagram a receive takes.
enum class ReplyFrom {
  Anyone,     // the first datagram that arrives (rcon replies)
  Addressee,  // only one from the address and port the last datagram went to;
              // others are dropped and the wait goes on (status replies)
};

// Port text as a decimal number 1..65535; false otherwise.
bool parsePort(std::string_view text, std::uint16_t& port);

enum class DatagramRead {
  Nothing,   // no datagram waits
  Datagram,  // one datagram was taken, from `sender`
  Error,     // the receive failed
};
// Takes one datagram waiting on the UDP socket `fd` without blocking: every
// receive of the program reads through here. `result` is Ok with its bytes
// and sender, or Failed when the datagram is empty or longer than
// kReceiveBufferSize; on Error it is Failed with the system's reason.
DatagramRead readDatagram(int fd, UdpResult& result, sockaddr_in& sender);
// Same IPv4 address and port.
bool sameEndpoint(const sockaddr_in& a, const sockaddr_in& b);

// Owns one IPv4 UDP socket. Not shared between threads: each worker owns its
// own client; only the stop signal crosses threads.
class UdpClient {
 public:
  UdpClient();
  ~UdpClient();
  UdpClient(const UdpClient&) = delete;
  UdpClient& operator=(const UdpClient&) = delete;

  // Opens the socket if it is not open. Returns false with `error` set on failure.
  bool open(std::string* error = nullptr);
  void close();
  // Closes the socket and opens a new one on a new local port; anything that
  // arrived on the old socket and was not read is dropped.
  bool recreate(std::string* error = nullptr);
  bool isOpen() const { return fd_ >= 0; }
  // Local port of the open socket, 0 when closed.
  std::uint16_t localPort() const;

  // The server that send() and the rcon helpers address. Resolved at send
  // time unless resolveServer() has looked it up already.
  void setServer(std::string host, std::string port);
  const std::string& host() const { return host_; }
  const std::string& port() const { return port_; }
  // Looks up the server set above once, interruptible by `stop` (Stopped);
  // later sends to it use the result, a failure included, without a new
  // look-up. Workers call it outside their guard, so a stop never waits for
  // a name server.
  UdpResult resolveServer(const StopSignal* stop);

  // Sends one datagram to the server set above (opening the socket if needed).
  UdpResult send(std::string_view datagram, const StopSignal* stop = nullptr);
  // Sends one datagram to host:port. The host is dotted IPv4 or a name looked
  // up with getaddrinfo (the look-up is not counted against any time-out);
  // with a stop signal the look-up ends at once on a stop request (Stopped).
  UdpResult sendTo(std::string_view host, std::string_view port, std::string_view datagram,
                   const StopSignal* stop = nullptr);
  // Waits up to timeoutMs for a datagram and reads exactly one, from anyone
  // or from the last addressee only. A datagram longer than
  // kReceiveBufferSize or of length zero is a failure.
  UdpResult receive(int timeoutMs, const StopSignal* stop = nullptr,
                    ReplyFrom from = ReplyFrom::Anyone);

 private:
  UdpResult sendToAddress(const sockaddr_in& to, std::string_view datagram);

  int fd_ = -1;
  std::string host_;
  std::string port_;
  // The looked-up server (resolveServer), valid while host_/port_ stay.
  bool serverLookedUp_ = false;
  UdpResult serverLookup_;
  sockaddr_in serverAddress_{};
  // Where the last datagram went.
  bool addressed_ = false;
  sockaddr_in lastAddressee_{};
};

}  // namespace tarvix
