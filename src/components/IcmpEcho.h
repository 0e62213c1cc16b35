#pragma once
// One ICMP echo request to an IPv4 host. Plain C++ (no Qt): an unprivileged
// ICMP datagram socket where the system allows it, a raw ICMP socket
// otherwise. A IcmpEcho is used by one thread only.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "base/StopSignal.h"

namespace tarvix {

// Set-up failure of the echo service; what() is one of the fixed messages.
class IcmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Status codes of an echo (the IP status values of the echo service).
enum : std::uint32_t {
  kIpSuccess = 0,
  kIpBufTooSmall = 11001,
  kIpDestNetUnreachable = 11002,
  kIpDestHostUnreachable = 11003,
  kIpDestProtUnreachable = 11004,
  kIpDestPortUnreachable = 11005,
  kIpNoResources = 11006,
  kIpBadOption = 11007,
  kIpHwError = 11008,
  kIpPacketTooBig = 11009,
  kIpReqTimedOut = 11010,
  kIpBadReq = 11011,
  kIpBadRoute = 11012,
  kIpTtlExpiredTransit = 11013,
  kIpTtlExpiredReassem = 11014,
  kIpParamProblem = 11015,
  kIpSourceQuench = 11016,
  kIpOptionTooBig = 11017,
  kIpBadDestination = 11018,
  kIpAddrDeleted = 11019,
  kIpSpecMtuChange = 11020,
  kIpMtuChange = 11021,
  kIpGeneralFailure = 11050,
  kIpPending = 11255,
};

// The text of a status code; unknown codes give "ICMP error #" + code.
std::string icmpStatusText(std::uint32_t status);

// Option information of a reply.
struct IpOptionInformation {
  std::uint8_t ttl = 0;
  std::uint8_t tos = 0;
  std::uint8_t flags = 0;
  std::uint8_t optionsSize = 0;
};

// Header of the first reply of an echo. address is in network byte order.
struct IcmpEchoReply {
  std::uint32_t address = 0;
  std::uint32_t status = 0;
  std::uint32_t roundTripMs = 0;
  std::uint16_t dataSize = 0;
  std::uint16_t reserved = 0;
  IpOptionInformation options;
};

// The fixed text at the start of every request's data (45 characters).
extern const char kIcmpRequestText[46];

// How one echo ended (IcmpEcho.cpp).
struct EchoOutcome;

// Which kind of socket an echo object holds.
enum class IcmpSocketKind { Datagram, Raw };

// Opens a socket like ::socket(domain, type, protocol); returns -1 with errno
// set on failure. Tests install their own to refuse or filter sockets.
using IcmpSocketOpener = std::function<int(int domain, int type, int protocol)>;
// Installs a process-wide opener; an empty one restores ::socket.
void setIcmpSocketOpener(IcmpSocketOpener opener);

class IcmpEcho {
 public:
  // Opens the echo service; throws IcmpError "Unable to get ping handle"
  // when neither an ICMP datagram socket nor a raw ICMP socket opens.
  IcmpEcho();
  ~IcmpEcho();
  IcmpEcho(const IcmpEcho&) = delete;
  IcmpEcho& operator=(const IcmpEcho&) = delete;

  const std::string& address() const { return address_; }
  // A different text clears the resolution; an equal text changes nothing.
  void setAddress(const std::string& address);
  const std::string& resolvedName() const { return resolvedName_; }
  const std::string& resolvedIp() const { return resolvedIp_; }
  bool isResolved() const { return resolved_; }

  std::uint16_t dataSize = 56;
  std::uint32_t timeoutMs = 4000;
  std::uint8_t ttl = 64;
  std::uint8_t ipFlags = 0;

  IcmpEchoReply lastReply;
  std::uint32_t lastStatus = 0;

  std::function<void(IcmpEcho* sender, const std::string& message)> onMessage;
  std::function<void(IcmpEcho* sender)> onBeforeEcho;
  std::function<void(IcmpEcho* sender, int replies)> onAfterEcho;

  // Turns address() into the target; false (and onMessage) when it cannot,
  // false without a message when stopped. A host name is looked up so that
  // a stop request ends the wait at once.
  bool resolve();
  // Sends one echo and waits up to timeoutMs; returns the number of replies.
  int ping();
  std::string errorText() const { return icmpStatusText(lastStatus); }

  IcmpSocketKind socketKind() const { return kind_; }
  // A stop request ends a waiting ping() and a waiting host look-up at once;
  // nullptr for none. Not owned.
  void setStop(const StopSignal* stop) { stop_ = stop; }
  // The data bytes of the last request sent.
  const std::string& lastRequestData() const { return requestData_; }

 private:
  int waitReply(std::uint16_t id, std::uint16_t seq, std::uint32_t target, int waitMs,
                long long startUs);
  // Keeps the outcome as the last status and reply; the replies counted.
  int settle(const EchoOutcome& outcome, long long startUs);
  std::string address_;
  std::string resolvedName_;
  std::string resolvedIp_;
  std::uint32_t target_ = 0xFFFFFFFFu;  // network order; all ones: no address
  bool resolved_ = false;
  int fd_ = -1;
  const StopSignal* stop_ = nullptr;
  IcmpSocketKind kind_ = IcmpSocketKind::Datagram;
  std::uint16_t sequence_ = 0;
  std::string requestData_;
};

}  // namespace tarvix
