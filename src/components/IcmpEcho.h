#pragma once
// One ICMP echo request to an IPv4 host. Plain C++ (no Qt): an unprivileged
// ICMP datagram socket where the system allows it, a raw ICMP socket
// otherwise. A IcmpEcho is used by one thread only.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace tarvix {

// Set-up failure of the echo service; what() is one of the fixed messages.
class IcmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Status codes of an echo (the IP status values of the echo service).
enum : std::uint32_t {
  IP_SUCCESS = 0,
  IP_BUF_TOO_SMALL = 11001,
  IP_DEST_NET_UNREACHABLE = 11002,
  IP_DEST_HOST_UNREACHABLE = 11003,
  IP_DEST_PROT_UNREACHABLE = 11004,
  IP_DEST_PORT_UNREACHABLE = 11005,
  IP_NO_RESOURCES = 11006,
  IP_BAD_OPTION = 11007,
  IP_HW_ERROR = 11008,
  IP_PACKET_TOO_BIG = 11009,
  IP_REQ_TIMED_OUT = 11010,
  IP_BAD_REQ = 11011,
  IP_BAD_ROUTE = 11012,
  IP_TTL_EXPIRED_TRANSIT = 11013,
  IP_TTL_EXPIRED_REASSEM = 11014,
  IP_PARAM_PROBLEM = 11015,
  IP_SOURCE_QUENCH = 11016,
  IP_OPTION_TOO_BIG = 11017,
  IP_BAD_DESTINATION = 11018,
  IP_ADDR_DELETED = 11019,
  IP_SPEC_MTU_CHANGE = 11020,
  IP_MTU_CHANGE = 11021,
  IP_GENERAL_FAILURE = 11050,
  IP_PENDING = 11255,
};

// The text of a status code; unknown codes give "ICMP error #" + code.
std::string icmpStatusText(std::uint32_t status);

// Option information of a reply.
struct IpOptionInformation {
  std::uint8_t Ttl = 0;
  std::uint8_t Tos = 0;
  std::uint8_t Flags = 0;
  std::uint8_t OptionsSize = 0;
};

// Header of the first reply of an echo. Address is in network byte order.
struct IcmpEchoReply {
  std::uint32_t Address = 0;
  std::uint32_t Status = 0;
  std::uint32_t RoundTripTime = 0;
  std::uint16_t DataSize = 0;
  std::uint16_t Reserved = 0;
  IpOptionInformation Options;
};

// The fixed text at the start of every request's data (45 characters).
extern const char kIcmpRequestText[46];

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

  const std::string& Address() const { return address_; }
  // A different text clears the resolution; an equal text changes nothing.
  void SetAddress(const std::string& address);
  const std::string& ResolvedName() const { return resolvedName_; }
  const std::string& ResolvedIP() const { return resolvedIP_; }
  bool Resolved() const { return resolved_; }

  std::uint16_t DataSize = 56;
  std::uint32_t TimeOut = 4000;
  std::uint8_t TTL = 64;
  std::uint8_t IPFlags = 0;

  IcmpEchoReply LastReply;
  std::uint32_t LastStatus = 0;

  std::function<void(IcmpEcho* sender, const std::string& message)> OnMessage;
  std::function<void(IcmpEcho* sender)> OnBeforeEcho;
  std::function<void(IcmpEcho* sender, int replies)> OnAfterEcho;

  // Turns Address into the target; false (and OnMessage) when it cannot.
  bool Resolve();
  // Sends one echo and waits up to TimeOut; returns the number of replies.
  int Ping();
  std::string errorText() const { return icmpStatusText(LastStatus); }

  IcmpSocketKind SocketKind() const { return kind_; }
  // A file descriptor whose readability ends a waiting Ping at once (a quit
  // request); -1 for none. Not owned.
  void SetQuitFd(int fd) { quitFd_ = fd; }
  // The data bytes of the last request sent.
  const std::string& LastRequestData() const { return requestData_; }

 private:
  int waitReply(std::uint16_t id, std::uint16_t seq, std::uint32_t target, int timeoutMs,
                long long startUs);
  std::string address_;
  std::string resolvedName_;
  std::string resolvedIP_;
  std::uint32_t target_ = 0xFFFFFFFFu;  // network order; all ones: no address
  bool resolved_ = false;
  int fd_ = -1;
  int quitFd_ = -1;
  IcmpSocketKind kind_ = IcmpSocketKind::Datagram;
  std::uint16_t sequence_ = 0;
  std::string requestData_;
};

}  // namespace tarvix
