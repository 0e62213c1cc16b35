#pragma once
// A UDP client on a system-chosen local port: one datagram out, at most one
// datagram in, with an interruptible wait.
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
  std::string bytes;      // the datagram received (Ok on receive only)
  std::string error;      // description of a failure
  std::string fromHost;   // sender of a received datagram, dotted
  std::uint16_t fromPort = 0;

  bool ok() const { return outcome == UdpOutcome::Ok; }
  bool failed() const { return outcome == UdpOutcome::Failed; }
};

// Port text as a decimal number 1..65535; false otherwise.
bool parsePort(std::string_view text, std::uint16_t& port);

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

  // The server that send() and the rcon helpers address. Resolved at send time.
  void setServer(std::string host, std::string port);
  const std::string& host() const { return host_; }
  const std::string& port() const { return port_; }

  // Sends one datagram to the server set above (opening the socket if needed).
  UdpResult send(std::string_view datagram);
  // Sends one datagram to host:port. The host is dotted IPv4 or a name looked
  // up with getaddrinfo (the look-up is not counted against any time-out).
  UdpResult sendTo(std::string_view host, std::string_view port, std::string_view datagram);
  // Waits up to timeoutMs for a datagram from anyone and reads exactly one.
  // A datagram longer than kReceiveBufferSize or of length zero is a failure.
  UdpResult receive(int timeoutMs, const StopSignal* stop = nullptr);

 private:
  int fd_ = -1;
  std::string host_;
  std::string port_;
};

}  // namespace tarvix
