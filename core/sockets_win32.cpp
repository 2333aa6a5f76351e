// The Winsock pieces every layer shares: waits, datagrams and broadcast
// sockets, and the TCP connect to port 9100 with a time limit.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>

#include <chrono>
#include <optional>

#include "core/printer_records.h"
#include "core/sockets_win32.h"
#include "core/tcp_connect_rules.h"

namespace korvante {

namespace {

bool SetBlocking(SOCKET s, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

std::optional<sockaddr_in> Ipv4SocketAddress(const std::string& ip, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1) return std::nullopt;
  return address;
}

}  // namespace

timeval SelectLimit(std::chrono::microseconds wait) {
  timeval limit{};
  limit.tv_sec = static_cast<long>(wait.count() / 1000000);
  limit.tv_usec = static_cast<long>(wait.count() % 1000000);
  return limit;
}

SocketOwner OpenBroadcastSocket() {
  SocketOwner s(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  const BOOL on = TRUE;
  if (s)
    setsockopt(s.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
  return s;
}

bool BindUdp(SOCKET s, const std::string& ip, std::uint16_t port) {
  const std::optional<sockaddr_in> local = Ipv4SocketAddress(ip, port);
  return local && bind(s, reinterpret_cast<const sockaddr*>(&*local), sizeof *local) == 0;
}

SocketOwner OpenBoundBroadcastSocket(const std::string& localIp) {
  SocketOwner s = OpenBroadcastSocket();
  if (s && !BindUdp(s.get(), localIp, 0)) return SocketOwner();
  return s;
}

bool SendDatagram(SOCKET s, const std::string& ip, std::uint16_t port,
                  std::span<const std::uint8_t> bytes) {
  const std::optional<sockaddr_in> to = Ipv4SocketAddress(ip, port);
  if (!to) return false;
  const int sent =
      sendto(s, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0,
             reinterpret_cast<const sockaddr*>(&*to), sizeof *to);
  return sent >= 0 && static_cast<std::size_t>(sent) == bytes.size();
}

bool WaitReadable(SOCKET s, unsigned timeoutMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval limit = SelectLimit(std::chrono::milliseconds(timeoutMs));
  return select(0, &set, nullptr, nullptr, &limit) > 0;
}

namespace {

// Waits for a non-blocking connect to end, true when it connected. A connect
// that fails shows in the except set, never in the write set (Windows, and
// Wine 8 alike), so a wait on the write set alone would run out the whole
// limit; a writable socket with SO_ERROR set is a failure too.
bool WaitConnected(SOCKET s, unsigned timeoutMs) {
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval limit = SelectLimit(std::chrono::milliseconds(timeoutMs));
  if (select(0, nullptr, &writable, &failed, &limit) <= 0 || FD_ISSET(s, &failed)) return false;
  return ConnectSucceeded(s);
}

// Lets the connect retransmit its SYN only as often as the limit has room for
// (tcp_connect_rules.h), so that a refusal ends the wait instead of being
// retried past it. The retransmission timeout stays the system's. Windows 7
// does not know the control and keeps its own count: a refusal there still
// costs the whole limit.
void RetransmitSynWithin(SOCKET s, unsigned timeoutMs) {
  const unsigned count = SynRetransmissionsWithin(timeoutMs);
  TCP_INITIAL_RTO_PARAMETERS rto{};
  rto.Rtt = TCP_INITIAL_RTO_UNSPECIFIED_RTT;
  rto.MaxSynRetransmissions =
      count == 0 ? TCP_INITIAL_RTO_NO_SYN_RETRANSMISSIONS : static_cast<UCHAR>(count);
  DWORD returned = 0;
  WSAIoctl(s, SIO_TCP_INITIAL_RTO, &rto, sizeof rto, nullptr, 0, &returned, nullptr, nullptr);
}

}  // namespace

bool ConnectSucceeded(SOCKET s) {
  int error = 0;
  int length = sizeof error;
  return getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
         error == 0;
}

SocketOwner StartConnectTcp9100(const std::string& ip, unsigned timeoutMs, bool& connected) {
  connected = false;
  // Text that does not parse is no address to connect to (0.0.0.0 would
  // reach this computer itself on some systems).
  const std::optional<sockaddr_in> address =
      Ipv4SocketAddress(ip, static_cast<std::uint16_t>(kPrinterPort));
  if (!address) return SocketOwner();
  SocketOwner s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s) return s;
  SetBlocking(s.get(), false);
  RetransmitSynWithin(s.get(), timeoutMs);
  if (connect(s.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0) {
    connected = true;
  } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
    return SocketOwner();
  }
  return s;
}

bool ConnectTcp9100(const std::string& ip, unsigned timeoutMs, SocketOwner* socketOut) {
  bool connected = false;
  SocketOwner s = StartConnectTcp9100(ip, timeoutMs, connected);
  if (!s) return false;
  if (!connected && !WaitConnected(s.get(), timeoutMs)) return false;

  SetBlocking(s.get(), true);
  if (socketOut != nullptr) *socketOut = std::move(s);
  return true;
}

}  // namespace korvante
