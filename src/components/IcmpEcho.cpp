#include "components/IcmpEcho.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "protocol/HostLookup.h"

namespace tarvix {

const char kIcmpRequestText[46] = "Tarvix link check: echo request for the host.";
static_assert(sizeof(kIcmpRequestText) == 46, "the request text has 45 characters");

// How one echo ended: its status, the answering or reporting address
// (network order) and, for a reply, its data size, TTL and TOS.
struct EchoOutcome {
  std::uint32_t status = 0;
  std::uint32_t from = 0;
  std::size_t dataSize = 0;
  int ttl = 0;
  int tos = 0;
};

namespace {

std::mutex openerMutex;
IcmpSocketOpener& opener() {
  static IcmpSocketOpener o;
  return o;
}

int openSocket(int domain, int type, int protocol) {
  IcmpSocketOpener o;
  {
    std::lock_guard<std::mutex> lock(openerMutex);
    o = opener();
  }
  return o ? o(domain, type, protocol) : ::socket(domain, type | SOCK_CLOEXEC, protocol);
}

// Identifier of a raw socket's requests: distinct per echo object in this
// process, since every raw ICMP socket sees every reply.
std::uint16_t nextEchoId() {
  static std::atomic<std::uint16_t> counter{static_cast<std::uint16_t>(::getpid() * 251u)};
  return counter.fetch_add(1, std::memory_order_relaxed);
}

long long nowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::uint16_t checksum(const unsigned char* data, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < size; i += 2) sum += (data[i] << 8) | data[i + 1];
  if (size & 1) sum += data[size - 1] << 8;
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

// Identifier and sequence number of an ICMP echo header.
std::uint16_t idOf(const unsigned char* h) {
  return static_cast<std::uint16_t>((h[4] << 8) | h[5]);
}
std::uint16_t seqOf(const unsigned char* h) {
  return static_cast<std::uint16_t>((h[6] << 8) | h[7]);
}

// One datagram into `buf`, with its sender and control messages (TTL or
// error details), which `msg` describes afterwards. The size read, or -1.
ssize_t receiveMessage(int fd, std::vector<unsigned char>& buf, sockaddr_in& from, char* control,
                       std::size_t controlSize, msghdr& msg, int flags) {
  iovec iov{buf.data(), buf.size()};
  msg = msghdr{};
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = controlSize;
  const ssize_t got = ::recvmsg(fd, &msg, flags);
  // The iovec is local: only the sender and control parts stay usable.
  msg.msg_iov = nullptr;
  msg.msg_iovlen = 0;
  return got;
}

// Status of an ICMP error message (type, code).
std::uint32_t statusOfIcmpError(int type, int code) {
  switch (type) {
    case ICMP_DEST_UNREACH:
      switch (code) {
        case ICMP_NET_UNREACH:
        case ICMP_NET_UNKNOWN:
        case ICMP_NET_ANO:
        case ICMP_NET_UNR_TOS:
          return kIpDestNetUnreachable;
        case ICMP_PROT_UNREACH:
          return kIpDestProtUnreachable;
        case ICMP_PORT_UNREACH:
          return kIpDestPortUnreachable;
        case ICMP_FRAG_NEEDED:
          return kIpPacketTooBig;
        case ICMP_SR_FAILED:
          return kIpBadRoute;
        default:
          return kIpDestHostUnreachable;
      }
    case ICMP_TIME_EXCEEDED:
      return code == ICMP_EXC_FRAGTIME ? kIpTtlExpiredReassem : kIpTtlExpiredTransit;
    case ICMP_PARAMETERPROB:
      return kIpParamProblem;
    case ICMP_SOURCE_QUENCH:
      return kIpSourceQuench;
    default:
      return kIpGeneralFailure;
  }
}

std::uint32_t statusOfSendError(int err) {
  switch (err) {
    case ENETUNREACH:
      return kIpDestNetUnreachable;
    case EHOSTUNREACH:
      return kIpDestHostUnreachable;
    case EMSGSIZE:
      return kIpPacketTooBig;
    case ENOBUFS:
    case ENOMEM:
      return kIpNoResources;
    case EINVAL:
      return kIpBadReq;
    default:
      return kIpGeneralFailure;
  }
}

std::string dotted(std::uint32_t networkOrder) {
  in_addr a{};
  a.s_addr = networkOrder;
  char buf[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a, buf, sizeof buf);
  return buf;
}

// An ICMP error about one of our requests, from a datagram socket's error
// queue; none when it concerns another request.
std::optional<EchoOutcome> readDatagramError(int fd, std::vector<unsigned char>& buf,
                                             std::uint16_t seq) {
  char control[512];
  sockaddr_in from{};
  msghdr msg{};
  ssize_t got =
      receiveMessage(fd, buf, from, control, sizeof control, msg, MSG_ERRQUEUE | MSG_DONTWAIT);
  if (got < 8 || seqOf(buf.data()) != seq) return std::nullopt;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR) continue;
    auto* ee = reinterpret_cast<sock_extended_err*>(CMSG_DATA(c));
    std::uint32_t offender = 0;
    auto* off = reinterpret_cast<sockaddr_in*>(SO_EE_OFFENDER(ee));
    if (off->sin_family == AF_INET) offender = off->sin_addr.s_addr;
    if (ee->ee_origin == SO_EE_ORIGIN_ICMP)
      return EchoOutcome{statusOfIcmpError(ee->ee_type, ee->ee_code), offender};
    return EchoOutcome{statusOfSendError(static_cast<int>(ee->ee_errno)), offender};
  }
  return std::nullopt;
}

// The reply to our request on a datagram socket (the system matches the
// identifier); none for anything else.
std::optional<EchoOutcome> readDatagramReply(int fd, std::vector<unsigned char>& buf,
                                             std::uint16_t seq) {
  char control[256];
  sockaddr_in from{};
  msghdr msg{};
  ssize_t got = receiveMessage(fd, buf, from, control, sizeof control, msg, MSG_DONTWAIT);
  if (got < 8 || buf[0] != ICMP_ECHOREPLY || seqOf(buf.data()) != seq) return std::nullopt;
  int ttl = 0;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
    if (c->cmsg_level == SOL_IP && c->cmsg_type == IP_TTL)
      std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
  return EchoOutcome{kIpSuccess, from.sin_addr.s_addr, static_cast<std::size_t>(got) - 8, ttl};
}

// A raw socket sees every ICMP message (IP header, then the message): the
// target's reply to our request, or an error quoting our request; none for
// anything else.
std::optional<EchoOutcome> readRawMessage(int fd, std::vector<unsigned char>& buf, std::uint16_t id,
                                          std::uint16_t seq, std::uint32_t target) {
  sockaddr_in from{};
  socklen_t fromLen = sizeof from;
  ssize_t got = ::recvfrom(fd, buf.data(), buf.size(), MSG_DONTWAIT,
                           reinterpret_cast<sockaddr*>(&from), &fromLen);
  if (got < 20) return std::nullopt;
  std::size_t ihl = (buf[0] & 0x0F) * 4u;
  if (static_cast<std::size_t>(got) < ihl + 8) return std::nullopt;
  const unsigned char* icmp = buf.data() + ihl;
  std::size_t icmpLen = static_cast<std::size_t>(got) - ihl;
  std::uint32_t src;
  std::memcpy(&src, buf.data() + 12, 4);
  if (icmp[0] == ICMP_ECHOREPLY) {
    // Another host's reply may carry the same numbers.
    if (idOf(icmp) != id || seqOf(icmp) != seq || src != target) return std::nullopt;
    return EchoOutcome{kIpSuccess, src, icmpLen - 8, buf[8], buf[1]};
  }
  if (icmp[0] == ICMP_DEST_UNREACH || icmp[0] == ICMP_TIME_EXCEEDED ||
      icmp[0] == ICMP_PARAMETERPROB || icmp[0] == ICMP_SOURCE_QUENCH) {
    // The error quotes our request's IP header and its first 8 bytes.
    if (icmpLen < 8 + 20) return std::nullopt;
    const unsigned char* inner = icmp + 8;
    std::size_t innerIhl = (inner[0] & 0x0F) * 4u;
    if (icmpLen < 8 + innerIhl + 8 || inner[9] != IPPROTO_ICMP) return std::nullopt;
    const unsigned char* innerIcmp = inner + innerIhl;
    if (innerIcmp[0] != ICMP_ECHO || idOf(innerIcmp) != id || seqOf(innerIcmp) != seq)
      return std::nullopt;
    return EchoOutcome{statusOfIcmpError(icmp[0], icmp[1]), src};
  }
  return std::nullopt;
}

}  // namespace

void setIcmpSocketOpener(IcmpSocketOpener o) {
  std::lock_guard<std::mutex> lock(openerMutex);
  opener() = std::move(o);
}

std::string icmpStatusText(std::uint32_t status) {
  switch (status) {
    case kIpSuccess:
      return "No error";
    case kIpBufTooSmall:
      return "Buffer too small";
    case kIpDestNetUnreachable:
      return "Destination network unreachable";
    case kIpDestHostUnreachable:
      return "Destination host unreachable";
    case kIpDestProtUnreachable:
      return "Destination protocol unreachable";
    case kIpDestPortUnreachable:
      return "Destination port unreachable";
    case kIpNoResources:
      return "No resources";
    case kIpBadOption:
      return "Bad option";
    case kIpHwError:
      return "Hardware error";
    case kIpPacketTooBig:
      return "Packet too big";
    case kIpReqTimedOut:
      return "Request timed out";
    case kIpBadReq:
      return "Bad request";
    case kIpBadRoute:
      return "Bad route";
    case kIpTtlExpiredTransit:
      return "TTL expired in transit";
    case kIpTtlExpiredReassem:
      return "TTL expired in reassembly";
    case kIpParamProblem:
      return "Parameter problem";
    case kIpSourceQuench:
      return "Source quench";
    case kIpOptionTooBig:
      return "Option too big";
    case kIpBadDestination:
      return "Bad Destination";
    case kIpAddrDeleted:
      return "Address deleted";
    case kIpSpecMtuChange:
      return "Spec MTU change";
    case kIpMtuChange:
      return "MTU change";
    case kIpGeneralFailure:
      return "General failure";
    case kIpPending:
      return "Pending";
    default:
      return "ICMP error #" + std::to_string(status);
  }
}

IcmpEcho::IcmpEcho() {
  fd_ = openSocket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
  if (fd_ >= 0) {
    kind_ = IcmpSocketKind::Datagram;
    int on = 1;
    // ICMP errors about our requests arrive on the error queue.
    ::setsockopt(fd_, SOL_IP, IP_RECVERR, &on, sizeof on);
    ::setsockopt(fd_, SOL_IP, IP_RECVTTL, &on, sizeof on);
    return;
  }
  fd_ = openSocket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  if (fd_ < 0) throw IcmpError("Unable to get ping handle");
  kind_ = IcmpSocketKind::Raw;
  // Only replies and the errors that can concern a request.
  icmp_filter filter{};
  filter.data = ~((1u << ICMP_ECHOREPLY) | (1u << ICMP_DEST_UNREACH) | (1u << ICMP_SOURCE_QUENCH) |
                  (1u << ICMP_TIME_EXCEEDED) | (1u << ICMP_PARAMETERPROB));
  ::setsockopt(fd_, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
}

IcmpEcho::~IcmpEcho() {
  if (fd_ >= 0) ::close(fd_);
}

void IcmpEcho::setAddress(const std::string& address) {
  if (address == address_) return;
  address_ = address;
  resolved_ = false;
}

bool IcmpEcho::resolve() {
  target_ = 0xFFFFFFFFu;
  resolved_ = false;
  const HostAddress found = lookupHost(address_, stop_);
  if (found.outcome == LookupOutcome::Stopped) return false;
  if (found.outcome != LookupOutcome::Found) {
    if (onMessage) onMessage(this, "Unable to resolve " + address_);
    return false;
  }
  target_ = found.address.s_addr;
  resolvedName_ = address_;
  resolvedIp_ = dotted(target_);
  resolved_ = true;
  return true;
}

int IcmpEcho::ping() {
  lastStatus = 0;
  if (!resolved_ && !resolve() && stop_ && stop_->requested()) {
    lastStatus = kIpGeneralFailure;  // as a stop during the wait for the reply
    return 0;
  }
  if (target_ == 0xFFFFFFFFu) {
    lastStatus = kIpBadDestination;
    if (onMessage) onMessage(this, "Invalid host address");
    return 0;
  }

  requestData_.assign(dataSize, ' ');
  requestData_.replace(0, std::min<std::size_t>(dataSize, 45), kIcmpRequestText,
                       std::min<std::size_t>(dataSize, 45));
  lastReply = IcmpEchoReply{};

  const std::uint16_t id = nextEchoId();
  const std::uint16_t seq = ++sequence_;
  std::vector<unsigned char> packet(8 + requestData_.size());
  packet[0] = ICMP_ECHO;
  packet[1] = 0;
  packet[4] = id >> 8;
  packet[5] = id & 0xFF;
  packet[6] = seq >> 8;
  packet[7] = seq & 0xFF;
  std::memcpy(packet.data() + 8, requestData_.data(), requestData_.size());
  std::uint16_t sum = checksum(packet.data(), packet.size());
  packet[2] = sum >> 8;
  packet[3] = sum & 0xFF;

  int ttlValue = ttl;
  ::setsockopt(fd_, SOL_IP, IP_TTL, &ttlValue, sizeof ttlValue);
  // Flag 2 is "don't fragment".
  int pmtu = (ipFlags & 0x02) ? IP_PMTUDISC_DO : IP_PMTUDISC_DONT;
  ::setsockopt(fd_, SOL_IP, IP_MTU_DISCOVER, &pmtu, sizeof pmtu);

  if (onBeforeEcho) onBeforeEcho(this);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = target_;
  const long long start = nowUs();
  int replies = 0;
  if (::sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) <
      0) {
    lastStatus = statusOfSendError(errno);
    lastReply.status = lastStatus;
  } else {
    replies = waitReply(id, seq, target_,
                        static_cast<int>(std::min<std::uint32_t>(timeoutMs, 0x7FFFFFFF)), start);
  }
  if (onAfterEcho) onAfterEcho(this, replies);
  return replies;
}

int IcmpEcho::waitReply(std::uint16_t id, std::uint16_t seq, std::uint32_t target, int waitMs,
                        long long startUs) {
  std::vector<unsigned char> buf(65536 + 1024);
  const long long deadline = startUs + static_cast<long long>(waitMs) * 1000;
  for (;;) {
    // Past the deadline a reply already queued is still read.
    const long long left = std::max(0LL, deadline - nowUs());
    const int quitFd = stop_ ? stop_->fd() : -1;
    pollfd fds[2] = {{fd_, POLLIN, 0}, {quitFd, POLLIN, 0}};
    int n = ::poll(fds, quitFd >= 0 ? 2 : 1, static_cast<int>((left + 999) / 1000));
    if (n < 0) {
      if (errno == EINTR) continue;
      return settle({kIpGeneralFailure}, startUs);
    }
    if (n == 0) {
      if (nowUs() >= deadline) return settle({kIpReqTimedOut}, startUs);
      continue;
    }
    if (quitFd >= 0 && (fds[1].revents & POLLIN)) return settle({kIpGeneralFailure}, startUs);
    std::optional<EchoOutcome> outcome;
    if (kind_ == IcmpSocketKind::Raw)
      outcome = readRawMessage(fd_, buf, id, seq, target);
    else if (fds[0].revents & POLLERR)
      outcome = readDatagramError(fd_, buf, seq);
    else
      outcome = readDatagramReply(fd_, buf, seq);
    if (outcome) return settle(*outcome, startUs);
  }
}

int IcmpEcho::settle(const EchoOutcome& outcome, long long startUs) {
  lastStatus = outcome.status;
  lastReply.status = outcome.status;
  lastReply.address = outcome.from;
  if (outcome.status != kIpSuccess) return 0;
  lastReply.roundTripMs = static_cast<std::uint32_t>((nowUs() - startUs) / 1000);
  lastReply.dataSize = static_cast<std::uint16_t>(outcome.dataSize);
  lastReply.options.ttl = static_cast<std::uint8_t>(outcome.ttl);
  lastReply.options.tos = static_cast<std::uint8_t>(outcome.tos);
  return 1;
}

}  // namespace tarvix
