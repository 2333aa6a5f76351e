#include <winsock2.h>
#include <ws2tcpip.h>

#include "usb_transport/tcp_connect_win32.h"
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

}  // namespace

bool WaitReadable(SOCKET s, unsigned timeoutMs) { return waitFor(s, timeoutMs, false); }

bool WaitWritable(SOCKET s, unsigned timeoutMs) { return waitFor(s, timeoutMs, true); }

bool ConnectTcp9100(const std::string& ip, unsigned timeoutMs, SocketOwner* socketOut) {
  SocketOwner s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s) return false;
  setBlocking(s.get(), false);

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(kPrinterTcpPort);
  // Text that does not parse leaves 0.0.0.0, and the connect below fails.
  inet_pton(AF_INET, ip.c_str(), &address.sin_addr);

  if (connect(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
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
