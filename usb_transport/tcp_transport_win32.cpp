#include <winsock2.h>
#include <ws2tcpip.h>

#include <optional>

#include "usb_transport/sockets_win32.h"
#include "usb_transport/transports.h"

namespace korvante {

namespace {

constexpr u_short kPrinterTcpPort = 9100;

bool setBlocking(SOCKET s, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

// select on one socket, the limit split into whole seconds and microseconds.
bool waitFor(SOCKET s, unsigned timeoutMs, bool writable) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval limit{};
  limit.tv_sec = static_cast<long>(timeoutMs / 1000);
  limit.tv_usec = static_cast<long>((timeoutMs % 1000) * 1000);
  return select(0, writable ? nullptr : &set, writable ? &set : nullptr, nullptr, &limit) > 0;
}

std::optional<sockaddr_in> Ipv4SocketAddress(const std::string& ip, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1) return std::nullopt;
  return address;
}

}  // namespace

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

bool WaitReadable(SOCKET s, unsigned timeoutMs) { return waitFor(s, timeoutMs, false); }

bool WaitWritable(SOCKET s, unsigned timeoutMs) { return waitFor(s, timeoutMs, true); }

bool ConnectTcp9100(const std::string& ip, unsigned timeoutMs, SocketOwner* socketOut) {
  // Text that does not parse is no address to connect to (0.0.0.0 would
  // reach this computer itself on some systems).
  const std::optional<sockaddr_in> address = Ipv4SocketAddress(ip, kPrinterTcpPort);
  if (!address) return false;
  SocketOwner s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s) return false;
  setBlocking(s.get(), false);

  if (connect(s.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    return false;
  }

  if (!WaitWritable(s.get(), timeoutMs)) return false;

  int error = 0;
  int length = sizeof error;
  if (getsockopt(s.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 ||
      error != 0) {
    return false;
  }

  setBlocking(s.get(), true);
  if (socketOut != nullptr) *socketOut = std::move(s);
  return true;
}

bool SendTcp9100(const NetworkPrinter& printer, const CommandBuffer& bytes) {
  SocketOwner s;
  if (!ConnectTcp9100(printer.ip, kSendConnectTimeoutMs, &s)) return false;
  // One send of the whole buffer: commands are at most about a kilobyte.
  const int sent =
      send(s.get(), reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0);
  return sent >= 0 && static_cast<std::size_t>(sent) == bytes.size();
}

}  // namespace korvante
